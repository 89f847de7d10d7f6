#include "ui/Margins.h"

#include "print/DisplayText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zarn {

TMargins::TMargins(const PrivateProfile& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setObjectName(QStringLiteral("TMargins"));
    setWindowTitle(QStringLiteral("Margins"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);
    const auto row = [this, grid](int r, const char* labelName, const char* caption,
                                  const char* editName) {
        auto* label = new QLabel(QString::fromLatin1(caption), this);
        label->setObjectName(QString::fromLatin1(labelName));
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(editName));
        label->setBuddy(edit);
        grid->addWidget(label, r, 0);
        grid->addWidget(edit, r, 1);
        grid->addWidget(new QLabel(QStringLiteral("cm"), this), r, 2);
        return std::pair{label, edit};
    };
    std::tie(LeftLab, MarLeft) = row(0, "LeftLab", "Left", "MarLeft");
    std::tie(RightLab, MarRight) = row(1, "RightLab", "Right", "MarRight");
    std::tie(TopLab, MarTop) = row(2, "TopLab", "Top", "MarTop");
    std::tie(BottomLab, MarBottom) = row(3, "BottomLab", "Bottom", "MarBottom");

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    SaveBtn = new QPushButton(QStringLiteral("&Save"), this);
    SaveBtn->setObjectName(QStringLiteral("SaveBtn"));
    SaveBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addWidget(SaveBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(SaveBtn, &QPushButton::clicked, this, &TMargins::SaveBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit* TMargins::edit(MarginSide side) const {
    switch (side) {
    case MarginSide::Left:
        return MarLeft;
    case MarginSide::Right:
        return MarRight;
    case MarginSide::Top:
        return MarTop;
    case MarginSide::Bottom:
        return MarBottom;
    }
    return MarLeft;
}

void TMargins::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TMargins::FormShow() {
    for (int i = 0; i < 4; ++i) {
        const auto side = static_cast<MarginSide>(i);
        edit(side)->setText(toDisplay(texts_.text(side)));
    }
    saved_ = false;
}

// Both decimal marks are read alike, so the text is stored as it was typed.
void TMargins::SaveBtnClick() {
    MarginTexts typed;
    for (int i = 0; i < 4; ++i) {
        const auto side = static_cast<MarginSide>(i);
        typed.setText(side, fromDisplay(edit(side)->text()));
    }
    typed.save(settings_);
    texts_ = typed;
    saved_ = true;
    if (onSaved_)
        onSaved_();
    accept();
}

} // namespace zarn
