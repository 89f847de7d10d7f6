#include "ui/HelpWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace zarn {

HelpWindow::HelpWindow(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinMaxButtonsHint) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Help"));
    resize(760, 640);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("HelpBrowser"));
    // The guide stays inside the window; links leaving it are handed to the desktop.
    browser_->setOpenExternalLinks(false);
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        if (url.isLocalFile() || url.isRelative() || url.scheme().isEmpty())
            browser_->setSource(browser_->source().resolved(url));
        else
            QDesktopServices::openUrl(url);
    });

    auto* back = new QPushButton(QStringLiteral("<"), this);
    back->setObjectName(QStringLiteral("BackBtn"));
    back->setFixedWidth(36);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    back->setEnabled(false);
    auto* home = new QPushButton(QStringLiteral("\u2302"), this);
    home->setObjectName(QStringLiteral("HomeBtn"));
    home->setFixedWidth(36);
    connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);

    auto* bar = new QHBoxLayout;
    bar->addWidget(back);
    bar->addWidget(home);
    bar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(browser_);
}

bool HelpWindow::showContents(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    file_ = info.absoluteFilePath();
    browser_->clearHistory();
    browser_->setSource(QUrl::fromLocalFile(file_));
    setWindowTitle(browser_->documentTitle().isEmpty() ? info.fileName()
                                                       : browser_->documentTitle());
    show();
    raise();
    activateWindow();
    return true;
}

} // namespace zarn
