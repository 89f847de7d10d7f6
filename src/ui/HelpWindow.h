// Help > Contents: the user guide of the language in use, an HTML file shown offline.
#pragma once

#include <QDialog>

class QTextBrowser;

namespace zarn {

class HelpWindow : public QDialog {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the guide at its table of contents; false when the file does not exist.
    bool showContents(const QString& path);
    QTextBrowser* browser() const { return browser_; }
    QString currentFile() const { return file_; }

private:
    QTextBrowser* browser_ = nullptr;
    QString file_;
};

} // namespace zarn
