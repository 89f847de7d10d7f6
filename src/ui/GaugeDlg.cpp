#include "ui/GaugeDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace zarn {

TGaugeDlg::TGaugeDlg(bool& cancelFlag, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      cancelFlag_(cancelFlag) {
    setObjectName(QStringLiteral("TGaugeDlg"));
    setWindowTitle(QStringLiteral("Dialog"));
    // Nothing else takes input while a long operation runs: a command started from its
    // pending events would reach into the document or the port under it.
    setWindowModality(Qt::ApplicationModal);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName(QStringLiteral("ProgressBar"));
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    QPalette pal = ProgressBar->palette();
    pal.setColor(QPalette::Highlight, QColor(0, 0, 128)); // navy
    ProgressBar->setPalette(pal);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(Label2);
    layout->addWidget(ProgressBar);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(CancelBtn);
    buttons->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(340);

    connect(CancelBtn, &QPushButton::clicked, this, [this] { cancelFlag_ = true; });
}

void TGaugeDlg::setPosition(int percent) {
    ProgressBar->setValue(std::clamp(percent, 0, 100));
}

void TGaugeDlg::setCancelVisible(bool visible) {
    CancelBtn->setVisible(visible);
}

// Escape acts as the Cancel button would; the dialog stays until its caller hides it.
void TGaugeDlg::reject() {
    if (CancelBtn->isVisible())
        cancelFlag_ = true;
}

} // namespace zarn
