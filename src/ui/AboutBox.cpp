#include "ui/AboutBox.h"

#include "print/DisplayText.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zarn {

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("TAboutBox"));
    setWindowTitle(QStringLiteral("About"));

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setFrameShape(QFrame::StyledPanel);
    ProgramIcon->setAlignment(Qt::AlignCenter);
    ProductName = new QLabel(this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    QFont big = ProductName->font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    big.setBold(true);
    ProductName->setFont(big);
    Version = new QLabel(this);
    Version->setObjectName(QStringLiteral("Version"));
    Version2 = new QLabel(this);
    Version2->setObjectName(QStringLiteral("Version2"));
    // These three lines are the program's own and stay the same in every language.
    Copyright = new QLabel(QStringLiteral("Made by the zarn developers"), this);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    Internet = new QLabel(QStringLiteral("Web: https://zarn.example.org"), this);
    Internet->setObjectName(QStringLiteral("Internet"));
    Email = new QLabel(QStringLiteral("E-mail: support@zarn.example.org"), this);
    Email->setObjectName(QStringLiteral("Email"));
    for (QLabel* l : {Copyright, Internet, Email})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(ProductName);
    texts->addSpacing(6);
    texts->addWidget(Version);
    texts->addWidget(Version2);
    texts->addStretch();
    texts->addWidget(Copyright);
    texts->addWidget(Internet);
    texts->addWidget(Email);

    auto* top = new QHBoxLayout;
    top->addWidget(ProgramIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TAboutBox::setTexts(const std::string& productName, const std::string& version,
                         const std::string& version2) {
    ProductName->setText(toDisplay(productName));
    Version->setText(toDisplay(version));
    Version2->setText(toDisplay(version2));
}

bool TAboutBox::loadPicture(const QString& path) {
    QImageReader reader(path, "jpeg");
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    ProgramIcon->setPixmap(QPixmap::fromImage(image));
    return true;
}

} // namespace zarn
