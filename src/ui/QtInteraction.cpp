#include "ui/QtInteraction.h"

#include "print/DisplayText.h"
#include "ui/GaugeDlg.h"
#include "ui/MessageDlg.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>

namespace zarn {

namespace {

QString filterOf(const FileDialogRequest& request) {
    const QString ext = toDisplay(request.extension);
    return QStringLiteral("%1 (*.%2)").arg(toDisplay(request.filterName), ext);
}

QString plainText(std::string_view bytes) {
    QString text = toDisplay(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

QtInteraction::QtInteraction(QWidget* owner) : owner_(owner) {}

int QtInteraction::messageDlg(std::string_view message, DialogType type, ButtonSet buttons,
                              int helpContext) {
    return MessageDlg(message, type, buttons, helpContext);
}

void QtInteraction::showMessage(std::string_view message) {
    ShowMessage(message);
}

void QtInteraction::showFatalError(std::string_view message) {
    showPlainError(message);
}

void showPlainError(std::string_view message) {
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Error"), plainText(message),
                    QMessageBox::Ok);
    box.exec();
}

void QtInteraction::progressShow(std::string_view caption) {
    if (!gauge_)
        return;
    gauge_->setWindowTitle(toDisplay(caption));
    gauge_->show();
    gauge_->raise();
}

void QtInteraction::progressLabels(std::string_view label1, std::string_view label2) {
    if (!gauge_)
        return;
    gauge_->Label1->setText(plainText(label1));
    gauge_->Label2->setText(plainText(label2));
}

void QtInteraction::progressPosition(int percent) {
    if (gauge_)
        gauge_->setPosition(percent);
}

void QtInteraction::progressCancelVisible(bool visible) {
    if (gauge_)
        gauge_->setCancelVisible(visible);
}

void QtInteraction::progressHide() {
    if (gauge_)
        gauge_->hide();
}

void QtInteraction::processEvents() {
    QCoreApplication::processEvents();
}

std::optional<std::string> QtInteraction::chooseSaveFile(const FileDialogRequest& request) {
    // Replacing an existing file is asked by the program's own flow, not by the dialog.
    const QString name = QFileDialog::getSaveFileName(
        owner_, toDisplay(request.title), QFile::decodeName(request.proposedName.c_str()),
        filterOf(request), nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return std::nullopt;
    return QFile::encodeName(name).toStdString();
}

std::optional<std::string> QtInteraction::chooseOpenFile(const FileDialogRequest& request) {
    const QString name = QFileDialog::getOpenFileName(
        owner_, toDisplay(request.title), QFile::decodeName(request.proposedName.c_str()),
        filterOf(request));
    if (name.isEmpty())
        return std::nullopt;
    return QFile::encodeName(name).toStdString();
}

} // namespace zarn
