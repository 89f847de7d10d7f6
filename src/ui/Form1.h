// TForm1: the main window. It owns the installation tree, the results table and the results
// view, the text table and the language, the document state, and the dialogs created at
// start-up; every command of the menu and toolbar starts here.
//
// Windows added later hook in with a member created in createDialogs() (in the fixed
// creation order) and a command slot in Form1Commands.cpp.
#pragma once

#include "core/app/Configuration.h"
#include "core/comm/VaComm.h"
#include "core/grid/Odlozisce.h"
#include "core/session/ProgramSession.h"
#include "ui/TreeImages.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QStackedLayout;
class QToolBar;
class QTreeView;

namespace zarn {

class HelpWindow;
class InstallationTreeModel;
class QtInteraction;
class QtPictureDecoder;
class TCommentBox;
class TExportDlg;
class TPersonalData;
class TAboutBox;
class TGaugeDlg;
class TConfigureCOM;
class TInstrumentData;
class TSelectLanguage;
class TStringGridAll;
class TPreview;
class TMargins;
class TSelectPages;
struct ReportContent;
class UserInteraction;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // `interaction` replaces the dialogs (tests); null uses the program's own dialogs.
    explicit TForm1(ProgramPaths paths, UserInteraction* interaction = nullptr,
                    QWidget* parent = nullptr);
    ~TForm1() override;

    // First activation: language, configuration, images, settings. False when the program
    // must end (a broken language installation, already reported to the user).
    bool startUp();
    // Opens the structure file named on the command line.
    void openStartupFile(const std::string& path);
    // Writes the structure file (Save, Save As, and Yes when asked to keep data). False
    // when nothing was written.
    bool writeStructureFile(const std::string& path);

    // --- state --------------------------------------------------------------------------------
    const ProgramPaths& paths() const { return session_.paths(); }
    UserInteraction& interaction() { return *ui_; }
    ProgramSession& session() { return session_; }
    Workspace& workspace() { return ws_; }
    InstallationTree& tree() { return ws_.tree(); }
    ResultsTable& Tabela() { return ws_.results(); }
    DocumentState& document() { return ws_.document(); }
    TLStr& texts() { return ws_.texts(); }
    NamefTables& namef() { return ws_.namef(); }
    TLanguage& language() { return session_.language(); }
    // Heading, comments and protocol pages, and the structure-file flows.
    StructureDocument& structure() { return session_.structure(); }
    const StructureDocument& structure() const { return session_.structure(); }
    InstallationTreeModel* treeModel() const { return treeModel_; }
    // The serial port of the instrument commands, opened by each command and closed after.
    const TVaComm& comm() const { return Comm; }
    // For this run, COM<portIndex + 1> leads to `device` and is the chosen port (zarn
    // --simulator).
    void useDeviceForRun(int portIndex, std::string device);

    std::string readSetting(std::string_view section, std::string_view key,
                            std::string_view defaultValue = {}) const;
    void writeSetting(std::string_view section, std::string_view key, std::string_view value) const;

    // --- main-window services ----------------------------------------------------------------
    void refreshCaption();
    void applyConfiguration();
    // Refills the results view for the selected node.
    void refreshView();
    // Renames a node and the matching rows, then refreshes the view.
    void renameNode(NodeHandle node, const std::string& name);
    // Ask to keep data: modal::Yes, modal::No or modal::Cancel.
    int askToKeepData();
    // The caption shown by the panel of the results view while it has no rows.
    QString panelCaption() const;

    // While an instrument command runs, the commands that would reach into the document or
    // the port are disabled, the tree cannot be renamed, and closing waits for the end.
    bool instrumentCommandRunning() const { return instrumentBusy_; }
    void beginInstrumentCommand();
    void endInstrumentCommand();

    // The visible toolbar buttons, left to right.
    std::vector<QAction*> visibleToolButtons() const;
    // The help file of the language in use (empty before start-up).
    QString helpFile() const;

public slots:
    void New1Click();
    void Open1Click();
    void Save1Click();
    void SaveAs1Click();
    void Export1Click();
    void PrintPreview1Click();
    void Exit1Click();
    void SendStructure1Click();
    void ReceiveResults1Click();
    void InstrumentsData1Click();
    void COMPort1Click();
    void SelectLanguage1Click();
    void SetDefaultNames1Click();
    void CalcLength1Click();
    void OperatorTestSite1Click();
    void Comments1Click();
    void Contents1Click();
    void About1Click();
    void Copy1Click();
    void Popup1Popup();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The entry of a menu at a position (separators included), as the language file places
    // its texts; null outside the menu.
    QAction* menuEntry(int menu, int item) const;
    // Sets Comm up from the session's COM choice before an instrument command.
    void prepareComm();
    void buildMenus();
    void buildToolBar();
    void buildClientArea();
    void createDialogs();
    void applyUiTexts(const std::vector<UiText>& texts);
    void applyMenuVisibility();
    void applyViewFont();
    // Takes the texts a language load produced; false when the program must end.
    bool takeLanguage(const SessionTexts& loaded);
    // The language-dependent names of the document, the caption, the About texts, headings.
    void afterConfiguration();
    void treeSelectionChanged();
    void selectInTree(NodeHandle node);
    void languageChosen(int index);
    // A broken language installation: leave at once, without asking about data.
    void terminate();
    // After a structure file was read: panel, tree expansion and selection, view.
    void structureRead(const StructureReadResult& result);
    // Opens the first node with all its descendants.
    void expandFirstNode();

    std::unique_ptr<QtInteraction> ownInteraction_;
    UserInteraction* ui_ = nullptr;
    // Outlives the session, whose protocol pages decode their pictures with it.
    std::unique_ptr<QtPictureDecoder> pictureDecoder_;
    ProgramSession session_;
    Workspace& ws_;
    TVaComm Comm;

    TOdlozisce Odlozisce_;
    TreeImages images_;
    InstallationTreeModel* treeModel_ = nullptr;

    // Windows and controls, named as the program knows them; tests find them by these names.
    QMenu* File1 = nullptr;
    QMenu* Instrument1 = nullptr;
    QMenu* Configuration1 = nullptr;
    QMenu* PrintoutHeading1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* New1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* SaveAs1 = nullptr;
    QAction* Export1 = nullptr;
    QAction* PrintPreview1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* SendStructure1 = nullptr;
    QAction* ReceiveResults1 = nullptr;
    QAction* InstrumentsData1 = nullptr;
    QAction* COMPort1 = nullptr;
    QAction* SelectLanguage1 = nullptr;
    QAction* SetDefaultNames1 = nullptr;
    QAction* CalcLength1 = nullptr;
    QAction* OperatorTestSite1 = nullptr;
    QAction* Comments1 = nullptr;
    QAction* Contents1 = nullptr;
    QAction* About1 = nullptr;

    QToolBar* ToolBar1 = nullptr;
    QAction* IcoNew = nullptr;
    QAction* IcoOpen = nullptr;
    QAction* IcoSave = nullptr;
    QAction* IcoSendS = nullptr;
    QAction* IcoReceiveR = nullptr;
    QAction* IcoPrint = nullptr;
    QAction* IcoCalib = nullptr;

    QWidget* PanelStruct = nullptr;
    QTreeView* Tree = nullptr;
    QWidget* PanelTabelaV = nullptr;
    TStringGridAll* TabelaV = nullptr;
    QMenu* Popup1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* InsertRow1 = nullptr;
    QAction* DeleteRow1 = nullptr;

    TGaugeDlg* GaugeDlg = nullptr;
    TConfigureCOM* ConfigureCOM = nullptr;
    TInstrumentData* InstrumentData = nullptr;
    TAboutBox* AboutBox = nullptr;
    TSelectLanguage* SelectLanguage = nullptr;
    TExportDlg* ExportDlg = nullptr;
    HelpWindow* Help = nullptr;
    TPersonalData* PersonalData = nullptr;
    TCommentBox* CommentBox = nullptr;
    TPreview* Preview = nullptr;
    TMargins* Margins = nullptr;
    TSelectPages* SelectPages = nullptr;

    // What the report shows: the results view, its font, the heading, the comments, the
    // margins and the texts of the language in use.
    ReportContent reportContent() const;

    QLabel* panelCaption_ = nullptr;
    QStackedLayout* viewStack_ = nullptr;
    QSplitter* splitter_ = nullptr;
    std::array<std::vector<QAction*>, 5> menuEntries_;

    bool cancelFallback_ = false; // cancel flag when the dialogs are replaced
    bool startupBegun_ = false;
    bool terminating_ = false;
    bool refreshing_ = false; // refresh-in-progress flag of the results view
    bool selectingFromCore_ = false;
    bool instrumentBusy_ = false;
    bool closePending_ = false; // closing was asked for while an instrument command ran
    std::vector<std::pair<QAction*, bool>> heldActions_; // disabled while busy, with their state
    bool renamingBeforeBusy_ = true;
};

} // namespace zarn
