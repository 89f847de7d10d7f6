#include "ui/SelectLanguage.h"

#include "print/DisplayText.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zarn {

TSelectLanguage::TSelectLanguage(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TSelectLanguage"));
    setWindowTitle(QStringLiteral("Select Language"));
    LangGroup = new QGroupBox(QStringLiteral("Language"), this);
    LangGroup->setObjectName(QStringLiteral("LangGroup"));
    radios_ = new QVBoxLayout(LangGroup);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &TSelectLanguage::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LangGroup);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TSelectLanguage::setLanguages(const std::vector<std::string>& dispNames) {
    for (QAbstractButton* b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    int id = 0;
    for (const std::string& name : dispNames) {
        auto* radio = new QRadioButton(toDisplay(name), LangGroup);
        radio->setObjectName(QStringLiteral("Lang%1").arg(id));
        group_->addButton(radio, id++);
        radios_->addWidget(radio);
    }
}

int TSelectLanguage::count() const {
    return static_cast<int>(group_->buttons().size());
}

int TSelectLanguage::itemIndex() const {
    return group_->checkedId();
}

void TSelectLanguage::setItemIndex(int index) {
    if (QAbstractButton* b = group_->button(index)) {
        b->setChecked(true);
    } else if (QAbstractButton* checked = group_->checkedButton()) {
        group_->setExclusive(false);
        checked->setChecked(false);
        group_->setExclusive(true);
    }
}

void TSelectLanguage::showEvent(QShowEvent* event) {
    remembered_ = itemIndex();
    QDialog::showEvent(event);
}

void TSelectLanguage::OKBtnClick() {
    const int index = itemIndex();
    if (okHandler_)
        okHandler_(index);
    remembered_ = index;
    accept();
}

// However the dialog closes, the selection is the one last confirmed.
void TSelectLanguage::done(int result) {
    setItemIndex(remembered_);
    QDialog::done(result);
}

} // namespace zarn
