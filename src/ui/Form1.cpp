#include "ui/Form1.h"

#include "core/instrument/InstrumentCommands.h"
#include "core/lang/TextEncoding.h"
#include "print/DisplayText.h"
#include "print/FloorPlanPictures.h"
#include "ui/AboutBox.h"
#include "ui/CommentBox.h"
#include "ui/ConfigureCOM.h"
#include "ui/ExportDlg.h"
#include "ui/GaugeDlg.h"
#include "ui/HelpWindow.h"
#include "ui/InstrumentData.h"
#include "ui/Margins.h"
#include "ui/MessageDlg.h"
#include "ui/PersonalData.h"
#include "ui/Preview.h"
#include "ui/QtInteraction.h"
#include "ui/SelectLanguage.h"
#include "ui/SelectPages.h"
#include "ui/StringGridAll.h"
#include "ui/ToolbarGlyphs.h"
#include "ui/TreeModel.h"
#include "ui/WindowTexts.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QSplitter>
#include <QStackedLayout>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

namespace zarn {

TForm1::TForm1(ProgramPaths paths, UserInteraction* interaction, QWidget* parent)
    : QMainWindow(parent),
      ownInteraction_(interaction ? nullptr : std::make_unique<QtInteraction>(this)),
      ui_(interaction ? interaction : ownInteraction_.get()),
      pictureDecoder_(std::make_unique<QtPictureDecoder>()), session_(std::move(paths), *ui_),
      ws_(session_.workspace()) {
    setObjectName(QStringLiteral("TForm1"));
    structure().protocol().setPictureDecoder(pictureDecoder_.get());
    ws_.document().setFileWriter(
        [this](const std::string& path) { return writeStructureFile(path); });
    ws_.document().setChangeHandler([this] { refreshCaption(); });

    buildMenus();
    buildToolBar();
    buildClientArea();
    statusBar()->hide();
    createDialogs();
    resize(1000, 700);
}

TForm1::~TForm1() = default;

namespace {

QAction* addEntry(QMenu* menu, std::vector<QAction*>& entries, const char* name,
                  const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    entries.push_back(a);
    return a;
}

void addSeparator(QMenu* menu, std::vector<QAction*>& entries, const char* name = nullptr) {
    QAction* a = menu->addSeparator();
    if (name)
        a->setObjectName(QString::fromLatin1(name));
    entries.push_back(a);
}

} // namespace

void TForm1::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    File1 = bar->addMenu(QStringLiteral("&File"));
    File1->setObjectName(QStringLiteral("File1"));
    auto& f = menuEntries_[0];
    New1 = addEntry(File1, f, "New1", QStringLiteral("&New"));
    Open1 = addEntry(File1, f, "Open1", QStringLiteral("&Open..."));
    Save1 = addEntry(File1, f, "Save1", QStringLiteral("&Save"));
    SaveAs1 = addEntry(File1, f, "SaveAs1", QStringLiteral("Save &As..."));
    addSeparator(File1, f);
    Export1 = addEntry(File1, f, "Export1", QStringLiteral("&Export..."));
    addSeparator(File1, f);
    PrintPreview1 = addEntry(File1, f, "PrintPreview1", QStringLiteral("Print &Preview"));
    addSeparator(File1, f);
    Exit1 = addEntry(File1, f, "Exit1", QStringLiteral("E&xit"));
    Open1->setShortcut(QKeySequence::Open);
    Save1->setShortcut(QKeySequence::Save);

    Instrument1 = bar->addMenu(QStringLiteral("&Instrument"));
    Instrument1->setObjectName(QStringLiteral("Instrument1"));
    auto& i = menuEntries_[1];
    SendStructure1 = addEntry(Instrument1, i, "SendStructure1", QStringLiteral("Send &Structure"));
    addSeparator(Instrument1, i, "SendStructureSeparator");
    ReceiveResults1 =
        addEntry(Instrument1, i, "ReceiveResults1", QStringLiteral("Receive &Results"));
    addSeparator(Instrument1, i);
    InstrumentsData1 =
        addEntry(Instrument1, i, "InstrumentsData1", QStringLiteral("Instrument's &Data..."));

    Configuration1 = bar->addMenu(QStringLiteral("&Configuration"));
    Configuration1->setObjectName(QStringLiteral("Configuration1"));
    auto& c = menuEntries_[2];
    COMPort1 = addEntry(Configuration1, c, "COMPort1", QStringLiteral("&COM Port"));
    SelectLanguage1 =
        addEntry(Configuration1, c, "SelectLanguage1", QStringLiteral("&Select Language..."));
    addSeparator(Configuration1, c, "SetDefaultNamesSeparator");
    SetDefaultNames1 =
        addEntry(Configuration1, c, "SetDefaultNames1", QStringLiteral("Set Default Names"));
    addSeparator(Configuration1, c, "CalcLengthSeparator");
    CalcLength1 = addEntry(Configuration1, c, "CalcLength1", QStringLiteral("Calculate Length"));

    PrintoutHeading1 = bar->addMenu(QStringLiteral("&Printout heading"));
    PrintoutHeading1->setObjectName(QStringLiteral("PrintoutHeading1"));
    auto& p = menuEntries_[3];
    OperatorTestSite1 = addEntry(PrintoutHeading1, p, "OperatorTestSite1",
                                 QStringLiteral("&Operator/Test site..."));
    Comments1 = addEntry(PrintoutHeading1, p, "Comments1", QStringLiteral("&Comments..."));

    Help1 = bar->addMenu(QStringLiteral("&Help"));
    Help1->setObjectName(QStringLiteral("Help1"));
    auto& h = menuEntries_[4];
    Contents1 = addEntry(Help1, h, "Contents1", QStringLiteral("&Contents..."));
    addSeparator(Help1, h);
    addSeparator(Help1, h);
    addSeparator(Help1, h);
    About1 = addEntry(Help1, h, "About1", QStringLiteral("&About..."));
    Contents1->setShortcut(QKeySequence(Qt::Key_F1));
    Contents1->setShortcutContext(Qt::ApplicationShortcut);

    connect(New1, &QAction::triggered, this, &TForm1::New1Click);
    connect(Open1, &QAction::triggered, this, &TForm1::Open1Click);
    connect(Save1, &QAction::triggered, this, &TForm1::Save1Click);
    connect(SaveAs1, &QAction::triggered, this, &TForm1::SaveAs1Click);
    connect(Export1, &QAction::triggered, this, &TForm1::Export1Click);
    connect(PrintPreview1, &QAction::triggered, this, &TForm1::PrintPreview1Click);
    connect(Exit1, &QAction::triggered, this, &TForm1::Exit1Click);
    connect(SendStructure1, &QAction::triggered, this, &TForm1::SendStructure1Click);
    connect(ReceiveResults1, &QAction::triggered, this, &TForm1::ReceiveResults1Click);
    connect(InstrumentsData1, &QAction::triggered, this, &TForm1::InstrumentsData1Click);
    connect(COMPort1, &QAction::triggered, this, &TForm1::COMPort1Click);
    connect(SelectLanguage1, &QAction::triggered, this, &TForm1::SelectLanguage1Click);
    connect(SetDefaultNames1, &QAction::triggered, this, &TForm1::SetDefaultNames1Click);
    connect(CalcLength1, &QAction::triggered, this, &TForm1::CalcLength1Click);
    connect(OperatorTestSite1, &QAction::triggered, this, &TForm1::OperatorTestSite1Click);
    connect(Comments1, &QAction::triggered, this, &TForm1::Comments1Click);
    connect(Contents1, &QAction::triggered, this, &TForm1::Contents1Click);
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);

    // Calculate Length belongs to other editions of the program.
    CalcLength1->setVisible(false);
    findChild<QAction*>(QStringLiteral("CalcLengthSeparator"))->setVisible(false);
}

void TForm1::buildToolBar() {
    ToolBar1 = addToolBar(QStringLiteral("ToolBar1"));
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolBar1->setIconSize(QSize(24, 24));
    ToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);
    ToolBar1->toggleViewAction()->setEnabled(false);
    auto add = [this](const char* name, ToolbarGlyph glyph, void (TForm1::*slot)()) {
        QAction* a = ToolBar1->addAction(toolbarGlyph(glyph), QString());
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    IcoNew = add("IcoNew", ToolbarGlyph::New, &TForm1::New1Click);
    IcoOpen = add("IcoOpen", ToolbarGlyph::Open, &TForm1::Open1Click);
    IcoSave = add("IcoSave", ToolbarGlyph::Save, &TForm1::Save1Click);
    IcoSendS = add("IcoSendS", ToolbarGlyph::SendStructure, &TForm1::SendStructure1Click);
    IcoReceiveR = add("IcoReceiveR", ToolbarGlyph::ReceiveResults, &TForm1::ReceiveResults1Click);
    IcoPrint = add("IcoPrint", ToolbarGlyph::Print, &TForm1::PrintPreview1Click);
    // The calibration button of other editions: never shown here.
    IcoCalib = ToolBar1->addAction(toolbarGlyph(ToolbarGlyph::Calibration), QString());
    IcoCalib->setObjectName(QStringLiteral("IcoCalib"));
}

void TForm1::buildClientArea() {
    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);

    PanelStruct = new QWidget(central);
    PanelStruct->setObjectName(QStringLiteral("PanelStruct"));
    auto* structLayout = new QVBoxLayout(PanelStruct);
    structLayout->setContentsMargins(0, 0, 0, 0);
    splitter_ = new QSplitter(Qt::Horizontal, PanelStruct);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setChildrenCollapsible(false);
    structLayout->addWidget(splitter_);

    Tree = new QTreeView(splitter_);
    Tree->setObjectName(QStringLiteral("Tree"));
    Tree->setHeaderHidden(true);
    Tree->setIndentation(50);
    Tree->setUniformRowHeights(true);
    Tree->setIconSize(QSize(TreeImageSize, TreeImageSize));
    Tree->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    Tree->setSelectionMode(QAbstractItemView::SingleSelection);
    Tree->setContextMenuPolicy(Qt::PreventContextMenu);
    Tree->viewport()->installEventFilter(this);
    treeModel_ = new InstallationTreeModel(ws_.tree(), images_, this);
    treeModel_->setRenameHandler(
        [this](NodeHandle node, const std::string& name) { renameNode(node, name); });
    Tree->setModel(treeModel_);
    connect(Tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { treeSelectionChanged(); });
    connect(treeModel_, &InstallationTreeModel::coreSelectionChanged, this, &TForm1::selectInTree);

    PanelTabelaV = new QWidget(splitter_);
    PanelTabelaV->setObjectName(QStringLiteral("PanelTabelaV"));
    viewStack_ = new QStackedLayout(PanelTabelaV);
    panelCaption_ = new QLabel(PanelTabelaV);
    panelCaption_->setObjectName(QStringLiteral("PanelTabelaVCaption"));
    panelCaption_->setAlignment(Qt::AlignCenter);
    panelCaption_->setWordWrap(true);
    TabelaV = new TStringGridAll(PanelTabelaV);
    TabelaV->setObjectName(QStringLiteral("TabelaV"));
    TabelaV->setContextMenuPolicy(Qt::CustomContextMenu);
    viewStack_->addWidget(panelCaption_);
    viewStack_->addWidget(TabelaV);
    viewStack_->setCurrentWidget(panelCaption_);

    Popup1 = new QMenu(this);
    Popup1->setObjectName(QStringLiteral("Popup1"));
    Copy1 = Popup1->addAction(QStringLiteral("&Copy"));
    Copy1->setObjectName(QStringLiteral("Copy1"));
    Popup1->addSeparator();
    Paste1 = Popup1->addAction(QStringLiteral("&Paste"));
    Paste1->setObjectName(QStringLiteral("Paste1"));
    Popup1->addSeparator();
    InsertRow1 = Popup1->addAction(QStringLiteral("&Insert Row"));
    InsertRow1->setObjectName(QStringLiteral("InsertRow1"));
    DeleteRow1 = Popup1->addAction(QStringLiteral("&Delete Row"));
    DeleteRow1->setObjectName(QStringLiteral("DeleteRow1"));
    connect(Copy1, &QAction::triggered, this, &TForm1::Copy1Click);
    connect(Popup1, &QMenu::aboutToShow, this, &TForm1::Popup1Popup);
    connect(TabelaV, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        TabelaV->setFocus(Qt::PopupFocusReason);
        Popup1->popup(TabelaV->viewport()->mapToGlobal(pos));
    });
    // Copy also answers the usual key while the results view has the focus.
    auto* copyKey = new QAction(TabelaV);
    copyKey->setShortcut(QKeySequence::Copy);
    copyKey->setShortcutContext(Qt::WidgetShortcut);
    connect(copyKey, &QAction::triggered, this, &TForm1::Copy1Click);
    TabelaV->addAction(copyKey);

    splitter_->addWidget(Tree);
    splitter_->addWidget(PanelTabelaV);
    splitter_->setStretchFactor(1, 1);
    splitter_->setSizes({300, 700});

    centralLayout->addWidget(PanelStruct);
    PanelStruct->hide();
    setCentralWidget(central);
}

void TForm1::createDialogs() {
    // The dialogs are created once, in this order: progress, COM configuration, print
    // preview, margins, protocol, operator/test site, select pages, About, select language,
    // export, instrument data, comments.
    GaugeDlg =
        new TGaugeDlg(ownInteraction_ ? ownInteraction_->cancelFlag() : cancelFallback_, this);
    if (ownInteraction_)
        ownInteraction_->setGauge(GaugeDlg);
    ConfigureCOM = new TConfigureCOM(Comm, *ui_, this);
    ConfigureCOM->setProbe(instrumentProbe());
    Preview = new TPreview(texts(), *ui_, this);
    Preview->setContentSource([this] { return reportContent(); });
    Margins = new TMargins(ws_.settings(), this);
    Margins->setSavedHandler([this] { document().setSaved(false); });
    AboutBox = new TAboutBox(this);
    AboutBox->loadPicture(QString::fromStdString(paths().dataFile("images/PRODUCT.JPG")));
    SelectLanguage = new TSelectLanguage(this);
    ExportDlg = new TExportDlg(this);
    InstrumentData = new TInstrumentData(Comm, *ui_, texts(), this);
    InstrumentData->setHeaderRowSource([this] {
        return IdentificationRow{Tabela().cell(1, 0), Tabela().cell(2, 0), Tabela().cell(3, 0)};
    });
    InstrumentData->setPreparePort([this] { prepareComm(); });
    SelectLanguage->setOkHandler([this](int index) { languageChosen(index); });
    Help = new HelpWindow(this);
    PersonalData = new TPersonalData(structure().heading(), ws_.settings(), texts(), *ui_, this);
    PersonalData->setAcceptedHandler([this] { document().setSaved(false); });
    SelectPages = new TSelectPages(this);
    Preview->setDialogs(Margins, SelectPages);
    CommentBox = new TCommentBox(structure().comments(), ws_.settings(), this);
    CommentBox->setAcceptedHandler([this] { document().setSaved(false); });
    setMessageHelpHandler([this](int, const std::string&) { Contents1Click(); });
}

QAction* TForm1::menuEntry(int menu, int item) const {
    if (menu < 0 || menu >= static_cast<int>(menuEntries_.size()))
        return nullptr;
    const auto& entries = menuEntries_[static_cast<size_t>(menu)];
    if (item < 0 || item >= static_cast<int>(entries.size()))
        return nullptr;
    return entries[static_cast<size_t>(item)];
}

std::vector<QAction*> TForm1::visibleToolButtons() const {
    std::vector<QAction*> visible;
    for (QAction* a : ToolBar1->actions()) {
        if (a->isVisible() && !a->isSeparator())
            visible.push_back(a);
    }
    return visible;
}

QString TForm1::panelCaption() const {
    return panelCaption_->text();
}

// Right-clicking the tree selects the node under the pointer; on empty space nothing
// happens and no menu opens.
bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Tree->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::RightButton) {
            const QModelIndex index = Tree->indexAt(mouse->position().toPoint());
            if (index.isValid())
                Tree->setCurrentIndex(index);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// --- start-up, language, configuration ------------------------------------------------------

std::string TForm1::readSetting(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    return ws_.settings().read(section, key, defaultValue);
}

void TForm1::writeSetting(std::string_view section, std::string_view key,
                          std::string_view value) const {
    ws_.settings().write(section, key, value);
}

bool TForm1::startUp() {
    startupBegun_ = true;
    if (!takeLanguage(session_.startUp()))
        return false;
    SelectLanguage->setLanguages(language().displayNames());
    SelectLanguage->setItemIndex(language().itemIndex());
    afterConfiguration();
    splitter_->setSizes({Configuration::InitialTreeWidth, 700});

    Margins->load();
    session_.loadUserSettings();
    applyMenuVisibility();
    applyViewFont();
    setWindowState(windowState() | Qt::WindowMaximized);
    return true;
}

bool TForm1::takeLanguage(const SessionTexts& loaded) {
    if (!loaded.ok())
        return false;
    setDisplayCodePage(codePageForLcid(language().lcid()));
    applyUiTexts(loaded.uiTexts);
    return true;
}

void TForm1::useDeviceForRun(int portIndex, std::string device) {
    session_.useDeviceForRun(portIndex, std::move(device));
}

void TForm1::applyUiTexts(const std::vector<UiText>& texts) {
    MessageDlgTexts dialogTexts = messageDlgTexts();
    for (const UiText& t : texts) {
        switch (t.role) {
        case TextRole::DialogButton:
            if (t.index >= 0 && t.index < MessageButtonCount)
                dialogTexts.buttonCaptions[static_cast<size_t>(t.index)] = t.text;
            break;
        case TextRole::DialogTitle:
            if (t.index >= 0 && t.index < MessageTypeCount)
                dialogTexts.dialogTitles[static_cast<size_t>(t.index)] = t.text;
            break;
        case TextRole::MenuItem:
            if (t.window == "TForm1" && t.control == "MainMenu1") {
                const QString text = toDisplay(t.text);
                if (t.item < 0) {
                    static constexpr std::array<QMenu * TForm1::*, 5> menus = {
                        &TForm1::File1, &TForm1::Instrument1, &TForm1::Configuration1,
                        &TForm1::PrintoutHeading1, &TForm1::Help1};
                    if (t.index >= 0 && t.index < 5)
                        (this->*menus[static_cast<size_t>(t.index)])->setTitle(text);
                } else if (QAction* a = menuEntry(t.index, t.item); a && !a->isSeparator()) {
                    a->setText(text);
                }
                break;
            }
            [[fallthrough]];
        default: {
            QWidget* window = t.window == "TForm1"
                                  ? static_cast<QWidget*>(this)
                                  : findChild<QWidget*>(QString::fromStdString(t.window));
            applyUiTextTo(window, t);
            break;
        }
        }
    }
    setMessageDlgTexts(dialogTexts);
}

void TForm1::afterConfiguration() {
    const DocumentState& doc = document();
    AboutBox->setTexts(doc.productName(), doc.versionLine(), doc.versionLine2());
    refreshCaption();
    refreshView();
}

void TForm1::refreshCaption() {
    setWindowTitle(toDisplay(document().caption()));
}

void TForm1::applyMenuVisibility() {
    const MenuVisibility v = menuVisibility();
    for (MenuEntry e : v.hiddenMenuEntries) {
        const char* name = nullptr;
        switch (e) {
        case MenuEntry::FileNew:
            name = "New1";
            break;
        case MenuEntry::SendStructure:
            name = "SendStructure1";
            break;
        case MenuEntry::SendStructureSeparator:
            name = "SendStructureSeparator";
            break;
        case MenuEntry::SetDefaultNames:
            name = "SetDefaultNames1";
            break;
        case MenuEntry::SetDefaultNamesSeparator:
            name = "SetDefaultNamesSeparator";
            break;
        case MenuEntry::CalculateLength:
            name = "CalcLength1";
            break;
        case MenuEntry::CalculateLengthSeparator:
            name = "CalcLengthSeparator";
            break;
        }
        if (QAction* a = findChild<QAction*>(QString::fromLatin1(name)))
            a->setVisible(false);
    }
    auto action = [this](ToolButton b) {
        switch (b) {
        case ToolButton::New:
            return IcoNew;
        case ToolButton::Open:
            return IcoOpen;
        case ToolButton::Save:
            return IcoSave;
        case ToolButton::SendStructure:
            return IcoSendS;
        case ToolButton::ReceiveResults:
            return IcoReceiveR;
        case ToolButton::Print:
            return IcoPrint;
        case ToolButton::Calibration:
            return IcoCalib;
        }
        return static_cast<QAction*>(nullptr);
    };
    // The visible buttons go left to right in the configured order, the others after them.
    const QList<QAction*> all = ToolBar1->actions();
    for (QAction* a : all)
        ToolBar1->removeAction(a);
    for (const ToolButtonPlace& place : v.toolbar) {
        QAction* a = action(place.button);
        a->setVisible(true);
        ToolBar1->addAction(a);
    }
    for (ToolButton b : v.hiddenToolButtons) {
        QAction* a = action(b);
        a->setVisible(false);
        ToolBar1->addAction(a);
    }
}

void TForm1::applyViewFont() {
    const QFont current = TabelaV->font();
    ViewFont defaults;
    defaults.size = current.pointSize() > 0 ? current.pointSize() : defaults.size;
    const ViewFont vf = readViewFont(ws_.settings(), defaults);
    QFont f(QString::fromStdString(vf.name), vf.size);
    f.setStyleHint(QFont::TypeWriter);
    f.setBold(vf.bold);
    TabelaV->setGridFont(f);
}

void TForm1::languageChosen(int index) {
    if (!takeLanguage(session_.changeLanguage(index))) {
        terminate();
        return;
    }
    afterConfiguration();
}

void TForm1::terminate() {
    terminating_ = true;
    QTimer::singleShot(0, qApp, &QCoreApplication::quit);
}

// --- tree and results view ---------------------------------------------------------------

void TForm1::treeSelectionChanged() {
    if (selectingFromCore_)
        return;
    const NodeHandle node = treeModel_->nodeOf(Tree->currentIndex());
    ws_.tree().setSelected(node);
    QCoreApplication::processEvents();
    refreshView();
}

void TForm1::selectInTree(NodeHandle node) {
    selectingFromCore_ = true;
    const QModelIndex index = treeModel_->indexOf(node);
    if (index.isValid())
        Tree->setCurrentIndex(index);
    else
        Tree->selectionModel()->clearCurrentIndex();
    selectingFromCore_ = false;
    if (ws_.tree().isValid(node) || node == NoNode) {
        PanelStruct->setVisible(!ws_.tree().empty());
        refreshView();
    }
}

void TForm1::refreshView() {
    if (refreshing_)
        return;
    refreshing_ = true;
    const ResultsViewContent content = ws_.resultsView();
    fillViewGrid(TabelaV->cells(), content, ws_.viewHeadings(), defaultColumnRoles());
    TabelaV->reload();
    panelCaption_->setText(toDisplay(content.panelCaption));
    viewStack_->setCurrentWidget(content.rows.empty() ? static_cast<QWidget*>(panelCaption_)
                                                      : static_cast<QWidget*>(TabelaV));
    refreshing_ = false;
}

void TForm1::renameNode(NodeHandle node, const std::string& name) {
    ws_.renameNode(node, name);
    refreshView();
}

int TForm1::askToKeepData() {
    return ws_.askToKeepData(*ui_);
}

QString TForm1::helpFile() const {
    const std::string& full = ws_.document().helpFileName();
    const size_t slash = full.rfind('/');
    const std::string name = slash == std::string::npos ? full : full.substr(slash + 1);
    if (name.empty())
        return {};
    const QString inHelp = QString::fromStdString(paths().dataDir + "help/" + name);
    if (QFileInfo::exists(inHelp))
        return inHelp;
    return QString::fromStdString(full);
}

void TForm1::closeEvent(QCloseEvent* event) {
    // The port stays with the running command: the window closes when it has ended.
    if (instrumentBusy_) {
        closePending_ = true;
        event->ignore();
        return;
    }
    if (!terminating_ && askToKeepData() == modal::Cancel) {
        event->ignore();
        return;
    }
    Help->close();
    if (!terminating_)
        structure().close();
    event->accept();
}

} // namespace zarn
