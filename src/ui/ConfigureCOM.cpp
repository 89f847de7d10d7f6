#include "ui/ConfigureCOM.h"

#include "core/base/UserInteraction.h"
#include "core/lang/LStr.h"
#include "print/DisplayText.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace zarn {

namespace {

// The user's interaction during a search, with the search panel's Cancel added to the
// cancel flag: the probe under way ends at its next look at the flag, not after 2 s.
class SearchInteraction : public UserInteraction {
public:
    SearchInteraction(UserInteraction& inner, bool& stop) : inner_(inner), stop_(stop) {}
    int messageDlg(std::string_view message, DialogType type, ButtonSet buttons,
                   int helpContext) override {
        return inner_.messageDlg(message, type, buttons, helpContext);
    }
    void showMessage(std::string_view message) override { inner_.showMessage(message); }
    void showFatalError(std::string_view message) override { inner_.showFatalError(message); }
    void progressShow(std::string_view caption) override { inner_.progressShow(caption); }
    void progressLabels(std::string_view l1, std::string_view l2) override {
        inner_.progressLabels(l1, l2);
    }
    void progressPosition(int percent) override { inner_.progressPosition(percent); }
    void progressCancelVisible(bool visible) override { inner_.progressCancelVisible(visible); }
    void progressHide() override { inner_.progressHide(); }
    bool cancelRequested() const override { return stop_ || inner_.cancelRequested(); }
    void clearCancel() override {
        stop_ = false;
        inner_.clearCancel();
    }
    void processEvents() override { inner_.processEvents(); }
    std::optional<std::string> chooseSaveFile(const FileDialogRequest& r) override {
        return inner_.chooseSaveFile(r);
    }
    std::optional<std::string> chooseOpenFile(const FileDialogRequest& r) override {
        return inner_.chooseOpenFile(r);
    }

private:
    UserInteraction& inner_;
    bool& stop_;
};

void setTextFrom(const TLStr& texts, const char* key, QAbstractButton* button) {
    if (const std::string& t = texts.text(key); !t.empty())
        button->setText(toDisplay(t));
}

void setTextFrom(const TLStr& texts, const char* key, QLabel* label) {
    if (const std::string& t = texts.text(key); !t.empty())
        label->setText(toDisplay(t));
}

void setTitleFrom(const TLStr& texts, const char* key, QGroupBox* group) {
    if (const std::string& t = texts.text(key); !t.empty())
        group->setTitle(toDisplay(t));
}

} // namespace

TConfigureCOM::TConfigureCOM(TVaComm& comm, UserInteraction& ui, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      comm_(comm), ui_(ui) {
    setObjectName(QStringLiteral("TConfigureCOM"));
    setWindowTitle(QStringLiteral("Configure COM Port"));

    COMPortGrp = new QGroupBox(QStringLiteral("COM Port"), this);
    COMPortGrp->setObjectName(QStringLiteral("COMPortGrp"));
    ports_ = new QButtonGroup(this);
    auto* portGrid = new QGridLayout(COMPortGrp);
    constexpr int rows = ComPortItemCount / 2; // two columns
    for (int i = 0; i < ComPortItemCount; ++i) {
        auto* radio = new QRadioButton(QString::fromStdString(comPortItem(i)), COMPortGrp);
        radio->setObjectName(QStringLiteral("COM%1").arg(i + 1));
        ports_->addButton(radio, i);
        paths_[i] = new QLabel(COMPortGrp);
        paths_[i]->setObjectName(QStringLiteral("Path%1").arg(i + 1));
        paths_[i]->setEnabled(false); // shown dimmed: information, not a choice
        const int column = (i / rows) * 2;
        portGrid->addWidget(radio, i % rows, column);
        portGrid->addWidget(paths_[i], i % rows, column + 1);
    }

    BaudRateGrp = new QGroupBox(QStringLiteral("Baud Rate"), this);
    BaudRateGrp->setObjectName(QStringLiteral("BaudRateGrp"));
    bauds_ = new QButtonGroup(this);
    auto* baudColumn = new QVBoxLayout(BaudRateGrp);
    for (int i = 0; i < static_cast<int>(ComBaudItems.size()); ++i) {
        auto* radio = new QRadioButton(QString::fromStdString(comBaudItem(i)), BaudRateGrp);
        radio->setObjectName(QStringLiteral("Baud%1").arg(i));
        bauds_->addButton(radio, i);
        baudColumn->addWidget(radio);
    }
    baudColumn->addStretch();

    OKBtn = new QPushButton(QStringLiteral("O&K"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    FindBtn = new QPushButton(QStringLiteral("&Auto Find"), this);
    FindBtn->setObjectName(QStringLiteral("FindBtn"));
    connect(OKBtn, &QPushButton::clicked, this, &TConfigureCOM::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(FindBtn, &QPushButton::clicked, this, &TConfigureCOM::FindBtnClick);

    PanelFind = new QWidget(this);
    PanelFind->setObjectName(QStringLiteral("PanelFind"));
    SearchLab = new QLabel(QStringLiteral("Searching configuration....."), PanelFind);
    SearchLab->setObjectName(QStringLiteral("SearchLab"));
    WaitLab = new QLabel(QStringLiteral("WAIT..."), PanelFind);
    WaitLab->setObjectName(QStringLiteral("WaitLab"));
    Cancel2Btn = new QPushButton(QStringLiteral("Cancel"), PanelFind);
    Cancel2Btn->setObjectName(QStringLiteral("Cancel2Btn"));
    connect(Cancel2Btn, &QPushButton::clicked, this, &TConfigureCOM::Cancel2BtnClick);
    auto* panel = new QHBoxLayout(PanelFind);
    panel->addWidget(SearchLab);
    panel->addWidget(WaitLab);
    panel->addStretch();
    panel->addWidget(Cancel2Btn);
    PanelFind->hide();

    auto* groups = new QHBoxLayout;
    groups->addWidget(COMPortGrp);
    groups->addWidget(BaudRateGrp);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FindBtn);
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups);
    layout->addWidget(PanelFind);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    setSelection(ComSelection{});
    saved_ = selection();
}

void TConfigureCOM::setPortMap(const ComPortMap& map) {
    for (int i = 0; i < ComPortItemCount; ++i) {
        const std::string& path = map.pathOf(i + 1);
        paths_[i]->setText(path.empty() ? QStringLiteral("-") : toDisplay(path));
    }
}

void TConfigureCOM::applyLanguage(const TLStr& texts) {
    if (const std::string& t = texts.text("ConfigureCOMPort_30"); !t.empty())
        setWindowTitle(toDisplay(t));
    setTitleFrom(texts, "COMPort_20", COMPortGrp);
    setTitleFrom(texts, "BaudRAte_20", BaudRateGrp);
    setTextFrom(texts, "&Cancel_11", Cancel2Btn);
    setTextFrom(texts, "SearchConfig_25", SearchLab);
    setTextFrom(texts, "Wait_25", WaitLab);
    setTextFrom(texts, "&Cancel_11", CancelBtn);
    setTextFrom(texts, "&OK_11", OKBtn);
    setTextFrom(texts, "&AutoFind_11", FindBtn);
    notFoundText_ = texts.text("CommError_40");
}

ComSelection TConfigureCOM::selection() const {
    return {std::max(ports_->checkedId(), 0), std::max(bauds_->checkedId(), 0)};
}

void TConfigureCOM::setSelection(ComSelection s) {
    if (QAbstractButton* b = ports_->button(s.portIndex))
        b->setChecked(true);
    if (QAbstractButton* b = bauds_->button(s.baudIndex))
        b->setChecked(true);
}

void TConfigureCOM::showEvent(QShowEvent* event) {
    saved_ = selection();
    QDialog::showEvent(event);
}

void TConfigureCOM::OKBtnClick() {
    if (searching_)
        return;
    if (settings_)
        writeComSetup(*settings_, selection());
    saved_ = selection();
    accept();
}

// However the dialog closes, the port gets the last confirmed choice.
void TConfigureCOM::done(int result) {
    if (searching_) { // the close box during a search: end the search first
        stop_ = true;
        return;
    }
    OKBtn->setFocus();
    setSelection(saved_);
    if (!comm_.isOpen())
        applyPortSettings(comm_, saved_);
    QDialog::done(result);
}

// Escape ends a running search instead of closing the dialog.
void TConfigureCOM::reject() {
    if (searching_) {
        Cancel2BtnClick();
        return;
    }
    QDialog::reject();
}

void TConfigureCOM::Cancel2BtnClick() {
    stop_ = true;
}

void TConfigureCOM::setSearching(bool on) {
    searching_ = on;
    COMPortGrp->setEnabled(!on);
    BaudRateGrp->setEnabled(on ? false : baudGroupWasEnabled_);
    // OK, Cancel and Auto Find wait until the search is over: each would reach into it.
    OKBtn->setEnabled(!on);
    CancelBtn->setEnabled(!on);
    FindBtn->setEnabled(!on);
    PanelFind->setVisible(on);
    if (on)
        Cancel2Btn->setFocus();
}

void TConfigureCOM::FindBtnClick() {
    if (searching_)
        return;
    SearchInteraction ui(ui_, stop_);
    AutoFindOptions options;
    options.baudGroupEnabled = BaudRateGrp->isEnabled();
    options.notFoundText = notFoundText_;
    options.onSelect = [this](ComSelection s) { setSelection(s); };
    options.onBegin = [this] {
        baudGroupWasEnabled_ = BaudRateGrp->isEnabled();
        stop_ = false;
        setSearching(true);
    };
    options.onEnd = [this] { setSearching(false); };
    autoFind(comm_, selection(), probe_, ui, options);
    if (searching_) // the clean-up failed ("15: ERROR"): never leave the dialog locked
        setSearching(false);
}

} // namespace zarn
