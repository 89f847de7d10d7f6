#include "ui/SelectPages.h"

#include "core/app/PrintMargins.h"
#include "core/base/TextRoutines.h"
#include "print/DisplayText.h"
#include "print/PagePrinter.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zarn {

TSelectPages::TSelectPages(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSelectPages"));
    setWindowTitle(QStringLiteral("Select Pages"));
    auto* layout = new QVBoxLayout(this);
    PagesLab = new QLabel(QStringLiteral("Pages to print:"), this);
    PagesLab->setObjectName(QStringLiteral("PagesLab"));
    layout->addWidget(PagesLab);
    auto* range = new QHBoxLayout;
    FromPage = new QLineEdit(this);
    FromPage->setObjectName(QStringLiteral("FromPage"));
    ToPage = new QLineEdit(this);
    ToPage->setObjectName(QStringLiteral("ToPage"));
    range->addWidget(FromPage);
    range->addWidget(new QLabel(QStringLiteral("-"), this));
    range->addWidget(ToPage);
    layout->addLayout(range);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    PrnBtn = new QPushButton(QStringLiteral("&Print"), this);
    PrnBtn->setObjectName(QStringLiteral("PrnBtn"));
    PrnBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addWidget(PrnBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(PrnBtn, &QPushButton::clicked, this, &TSelectPages::PrnBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TSelectPages::prepare(TPagePrinter& printer) {
    printer_ = &printer;
    FromPage->setText(QStringLiteral("1"));
    ToPage->setText(QString::number(printer.pageCount()));
}

void TSelectPages::PrnBtnClick() {
    if (printer_) {
        const std::string from = fromDisplay(FromPage->text());
        const std::string to = fromDisplay(ToPage->text());
        // The page printer keeps its range ordered, so a to-page below the from-page lowers it.
        printer_->setPrintFromPage(text::digitsToInt(from));
        printer_->setPrintToPage(text::digitsToInt(to));
        if (selectedPageRange(from, to, printer_->pageCount()) && onPrint_)
            onPrint_();
    }
    accept();
}

} // namespace zarn
