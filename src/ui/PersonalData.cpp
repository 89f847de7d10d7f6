#include "ui/PersonalData.h"

#include "core/base/UserInteraction.h"
#include "core/lang/LStr.h"
#include "core/structfile/StructFile.h"
#include "print/DisplayText.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <cmath>

namespace zarn {

namespace {

QFont editFont(int pixels) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPixelSize(pixels);
    return f;
}

QLineEdit* makeEdit(QWidget* parent, const char* name, int x, int y, int w, int pixels) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setFont(editFont(pixels));
    e->setGeometry(x, y, w, pixels + 10);
    return e;
}

// Geometry of the operator group: the text and the picture panel share one place.
constexpr int PanelWidth = 340;
constexpr int PanelHeight = 96;
constexpr int ImageOffset = 8;
constexpr int LoadLeft = 262;

} // namespace

QSize fitLogo(QSize natural, int availableHeight, int availableWidth) {
    if (natural.isEmpty())
        return natural;
    double w = natural.width();
    double h = natural.height();
    if (h != availableHeight && availableHeight > 0) {
        const double factor = h / availableHeight;
        w = std::round(w / factor);
        h = std::round(h / factor);
    }
    if (w > availableWidth && availableWidth > 0) {
        const double factor = w / availableWidth;
        w = std::round(w / factor);
        h = std::round(h / factor);
    }
    return {static_cast<int>(w), static_cast<int>(h)};
}

TPersonalData::TPersonalData(PrintoutHeading& heading, const PrivateProfile& settings,
                             const TLStr& texts, UserInteraction& ui, QWidget* parent)
    : QDialog(parent), heading_(heading), settings_(settings), texts_(texts), ui_(ui) {
    setObjectName(QStringLiteral("TPersonalData"));
    setWindowTitle(QStringLiteral("Operator/Test Site"));
    setFixedSize(400, 420);

    Operater = new QGroupBox(QStringLiteral("Operator"), this);
    Operater->setObjectName(QStringLiteral("Operater"));
    Operater->setGeometry(10, 8, 380, 220);
    TextPanel = new QWidget(Operater);
    TextPanel->setObjectName(QStringLiteral("TextPanel"));
    TextPanel->setGeometry(10, 20, PanelWidth, PanelHeight);
    // The operator edits sit 10 pixels from the left, 20 pixels narrower than the panel.
    Operator1 = makeEdit(TextPanel, "Operator1", 10, 2, PanelWidth - 20, 16);
    Operator2 = makeEdit(TextPanel, "Operator2", 10, 34, PanelWidth - 20, 11);
    Operator3 = makeEdit(TextPanel, "Operator3", 10, 60, PanelWidth - 20, 11);
    PicturePanel = new QWidget(Operater);
    PicturePanel->setObjectName(QStringLiteral("PicturePanel"));
    PicturePanel->setGeometry(10, 20, PanelWidth, PanelHeight);
    OpImage = new QLabel(PicturePanel);
    OpImage->setObjectName(QStringLiteral("OpImage"));
    OpImage->setScaledContents(true);
    OpImage->move(ImageOffset, ImageOffset);
    LoadBtn = new QPushButton(QStringLiteral("Load"), PicturePanel);
    LoadBtn->setObjectName(QStringLiteral("LoadBtn"));
    LoadBtn->setGeometry(LoadLeft, 34, 72, 25);
    ToBtn = new QPushButton(Operater);
    ToBtn->setObjectName(QStringLiteral("ToBtn"));
    ToBtn->setGeometry(280, 120, 90, 25);
    FooterLab = new QLabel(QStringLiteral("Footer"), Operater);
    FooterLab->setObjectName(QStringLiteral("FooterLab"));
    FooterLab->setGeometry(20, 124, 200, 18);
    Footer = makeEdit(Operater, "Footer", 20, 146, 340, 9);
    Footer2 = makeEdit(Operater, "Footer2", 20, 168, 340, 9);
    Footer3 = makeEdit(Operater, "Footer3", 20, 190, 340, 9);

    PanelSite = new QGroupBox(QStringLiteral("Test Site"), this);
    PanelSite->setObjectName(QStringLiteral("PanelSite"));
    PanelSite->setGeometry(10, 236, 380, 130);
    Site1 = makeEdit(PanelSite, "Site1", 20, 22, 340, 16);
    Site2 = makeEdit(PanelSite, "Site2", 20, 56, 340, 11);
    Site3 = makeEdit(PanelSite, "Site3", 20, 84, 340, 11);

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(210, 380, 80, 28);
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(300, 380, 80, 28);

    connect(ToBtn, &QPushButton::clicked, this, &TPersonalData::ToBtnClick);
    connect(LoadBtn, &QPushButton::clicked, this, &TPersonalData::LoadBtnClick);
    connect(OKBtn, &QPushButton::clicked, this, &TPersonalData::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

bool TPersonalData::applyUiText(const UiText& text) {
    if (text.role != TextRole::WindowText)
        return false;
    if (text.control == "Text")
        textCaption_ = toDisplay(text.text);
    else if (text.control == "Picture")
        pictureCaption_ = toDisplay(text.text);
    else
        return false;
    return true;
}

void TPersonalData::showEvent(QShowEvent* event) {
    const std::pair<QLineEdit*, PrintoutHeading::Text> edits[] = {
        {Operator1, PrintoutHeading::Op1},   {Operator2, PrintoutHeading::Op2},
        {Operator3, PrintoutHeading::Op3},   {Footer, PrintoutHeading::Footer},
        {Footer2, PrintoutHeading::Footer2}, {Footer3, PrintoutHeading::Footer3},
        {Site1, PrintoutHeading::Site1},     {Site2, PrintoutHeading::Site2},
        {Site3, PrintoutHeading::Site3}};
    for (const auto& [edit, t] : edits)
        edit->setText(toDisplay(heading_.text(t)));
    logo_ = heading_.text(PrintoutHeading::Logo);
    mode_ = heading_.logoMode();
    updateView();
    accepted_ = false;
    QDialog::showEvent(event);
}

void TPersonalData::updateView() {
    const bool picture = mode_ == 1;
    TextPanel->setVisible(!picture);
    PicturePanel->setVisible(picture);
    ToBtn->setText(picture ? textCaption_ : pictureCaption_);
    if (picture)
        loadLogo();
}

void TPersonalData::loadLogo() {
    // A missing, oversized or undecodable file leaves the image as it was; no message.
    const auto bytes = readPictureFile(logo_);
    if (!bytes)
        return;
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                            static_cast<int>(bytes->size())))
        return;
    OpImage->setPixmap(QPixmap::fromImage(image));
    const QSize size = fitLogo(image.size(), PicturePanel->height() - 2 * OpImage->y(),
                               LoadBtn->x() - 2 * OpImage->x());
    OpImage->resize(size);
}

void TPersonalData::ToBtnClick() {
    mode_ = mode_ == 1 ? 0 : 1;
    updateView();
}

void TPersonalData::LoadBtnClick() {
    FileDialogRequest request;
    request.title = texts_.text("LoadLogo_30");
    request.filterName = texts_.text("ImageFiles_13");
    // BMP as ever, and the JPEG and PNG pictures of today's cameras and phones.
    request.extension = "BMP *.bmp *.JPG *.jpg *.JPEG *.jpeg *.PNG *.png";
    if (auto chosen = ui_.chooseOpenFile(request))
        logo_ = *chosen;
    updateView();
}

void TPersonalData::OKBtnClick() {
    const std::pair<QLineEdit*, PrintoutHeading::Text> edits[] = {
        {Operator1, PrintoutHeading::Op1},   {Operator2, PrintoutHeading::Op2},
        {Operator3, PrintoutHeading::Op3},   {Footer, PrintoutHeading::Footer},
        {Footer2, PrintoutHeading::Footer2}, {Footer3, PrintoutHeading::Footer3},
        {Site1, PrintoutHeading::Site1},     {Site2, PrintoutHeading::Site2},
        {Site3, PrintoutHeading::Site3}};
    for (const auto& [edit, t] : edits)
        heading_.setText(t, toStored(edit->text(), heading_.text(t)));
    heading_.setText(PrintoutHeading::Logo, logo_);
    heading_.setLogoMode(mode_);
    heading_.save(settings_);
    accepted_ = true;
    if (onAccepted_)
        onAccepted_();
    accept();
}

} // namespace zarn
