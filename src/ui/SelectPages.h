// TSelectPages: the page range to print, "from" - "to". Print sets the range on the page
// printer and prints only when the range is valid; the dialog closes either way.
#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zarn {

class TPagePrinter;

class TSelectPages : public QDialog {
    Q_OBJECT
public:
    explicit TSelectPages(QWidget* parent = nullptr);

    // Fills the range with 1 … pageCount before the dialog is shown.
    void prepare(TPagePrinter& printer);
    // Runs when the range is printable, after it was set on the page printer.
    void setPrintHandler(std::function<void()> handler) { onPrint_ = std::move(handler); }

    QLabel* PagesLab = nullptr;
    QLineEdit* FromPage = nullptr;
    QLineEdit* ToPage = nullptr;
    QPushButton* PrnBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

public slots:
    void PrnBtnClick();

private:
    TPagePrinter* printer_ = nullptr;
    std::function<void()> onPrint_;
};

} // namespace zarn
