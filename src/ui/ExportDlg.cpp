#include "ui/ExportDlg.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zarn {

namespace {

// A radio group whose buttons are direct children of the box, so that the language's list
// texts reach them by position.
QButtonGroup* radioGroup(QGroupBox* box, std::initializer_list<const char*> items, QObject* owner) {
    auto* group = new QButtonGroup(owner);
    group->setExclusive(true);
    auto* layout = new QVBoxLayout(box);
    int id = 0;
    for (const char* item : items) {
        auto* radio = new QRadioButton(QString::fromLatin1(item), box);
        group->addButton(radio, id++);
        layout->addWidget(radio);
    }
    return group;
}

} // namespace

TExportDlg::TExportDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TExportDlg"));
    setWindowTitle(QStringLiteral("Export Format"));
    ColDelimiter = new QGroupBox(QStringLiteral("Column Delimiter"), this);
    ColDelimiter->setObjectName(QStringLiteral("ColDelimiter"));
    columns_ = radioGroup(ColDelimiter, {"TAB", "Semicolon"}, this);
    RowDelimiter = new QGroupBox(QStringLiteral("Row Delimiter"), this);
    RowDelimiter->setObjectName(QStringLiteral("RowDelimiter"));
    rows_ = radioGroup(RowDelimiter, {"CR/LF", "CR", "LF"}, this);

    OKbtn = new QPushButton(QStringLiteral("OK"), this);
    OKbtn->setObjectName(QStringLiteral("OKbtn"));
    OKbtn->setDefault(true);
    Cancelbtn = new QPushButton(QStringLiteral("Cancel"), this);
    Cancelbtn->setObjectName(QStringLiteral("Cancelbtn"));
    connect(OKbtn, &QPushButton::clicked, this, &TExportDlg::OKbtnClick);
    connect(Cancelbtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* groups = new QHBoxLayout;
    groups->addWidget(ColDelimiter);
    groups->addWidget(RowDelimiter);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKbtn);
    buttons->addWidget(Cancelbtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    showFormat();
}

void TExportDlg::setFormat(ExportFormat format) {
    format_ = format;
    showFormat();
}

void TExportDlg::showFormat() {
    if (QAbstractButton* b = columns_->button(static_cast<int>(format_.column)))
        b->setChecked(true);
    if (QAbstractButton* b = rows_->button(static_cast<int>(format_.row)))
        b->setChecked(true);
}

void TExportDlg::showEvent(QShowEvent* event) {
    showFormat();
    QDialog::showEvent(event);
}

void TExportDlg::OKbtnClick() {
    format_.column = columnDelimiterAt(columns_->checkedId()).value_or(format_.column);
    format_.row = rowDelimiterAt(rows_->checkedId()).value_or(format_.row);
    accept();
}

void TExportDlg::done(int result) {
    // Choices made without OK are not kept.
    if (result != QDialog::Accepted)
        showFormat();
    QDialog::done(result);
}

} // namespace zarn
