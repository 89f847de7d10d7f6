// The commands of the main window's menu, toolbar and context menu.
//
// Commands whose windows arrive with their own work (structure files, instrument, COM
// port, printing, export, printout heading) are wired in their slot here.
#include "core/comm/ComConfiguration.h"
#include "core/instrument/ResultsReception.h"
#include "core/lang/TextEncoding.h"
#include "print/DisplayText.h"
#include "print/PagePrinter.h"
#include "ui/AboutBox.h"
#include "ui/CommentBox.h"
#include "ui/ConfigureCOM.h"
#include "ui/ExportDlg.h"
#include "ui/Form1.h"
#include "ui/HelpWindow.h"
#include "ui/InstrumentData.h"
#include "ui/Margins.h"
#include "ui/MessageDlg.h"
#include "ui/PersonalData.h"
#include "ui/Preview.h"
#include "ui/SelectLanguage.h"
#include "ui/StringGridAll.h"
#include "ui/TreeModel.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGroupBox>
#include <QGuiApplication>
#include <QMenu>
#include <QStringDecoder>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

namespace zarn {

// --- File -----------------------------------------------------------------------------------

void TForm1::New1Click() {
    if (ws_.newStructure(*ui_))
        PanelStruct->show();
}

void TForm1::Open1Click() {
    if (auto result = structure().open())
        structureRead(*result);
}

void TForm1::openStartupFile(const std::string& path) {
    structureRead(structure().openFile(path));
}

void TForm1::structureRead(const StructureReadResult& result) {
    refreshCaption();
    if (!result.opened)
        return;
    PanelStruct->show();
    expandFirstNode();
    selectInTree(ws_.tree().firstNode());
    // Results of another instrument family are not shown. A file that is no structure file
    // leaves the family of the results in memory, and with it the panel, as it was.
    PanelStruct->setVisible(ws_.document().dataFamilyCode() == Configuration::FamilyCode);
    refreshView();
}

void TForm1::expandFirstNode() {
    const NodeHandle first = ws_.tree().firstNode();
    if (first != NoNode)
        Tree->expandRecursively(treeModel_->indexOf(first));
}

bool TForm1::writeStructureFile(const std::string& path) {
    return structure().writeFile(path);
}

void TForm1::Save1Click() {
    if (!PanelStruct->isHidden())
        ws_.save(*ui_);
}

void TForm1::SaveAs1Click() {
    if (!PanelStruct->isHidden())
        ws_.saveAs(*ui_);
}

void TForm1::Export1Click() {
    if (ExportDlg->exec() != QDialog::Accepted)
        return;
    const ExportSource source{tree(),
                              Tabela(),
                              structure().heading(),
                              structure().protocol(),
                              texts(),
                              namef(),
                              codePageForLcid(language().lcid())};
    exportToTextFile(source, ExportDlg->format(), document().currentFileName(), *ui_);
    refreshCaption();
}

// The Print button and File > Print Preview: the report in portrait, in the preview.
void TForm1::PrintPreview1Click() {
    try {
        Preview->Prn().setOrientation(TPrinterOrientation::poPortrait);
    } catch (const EPagePrinter&) {
        // A document being printed keeps its orientation.
    }
    Preview->ComposeReport();
}

ReportContent TForm1::reportContent() const {
    ReportContent content;
    content.grid = &TabelaV->cells();
    const QFont font = TabelaV->font();
    content.gridFont.name = font.family().toStdString();
    content.gridFont.size = font.pointSize() > 0 ? font.pointSize() : 10;
    content.gridFont.bold = font.bold();
    content.heading = structure().heading();
    content.comments = structure().comments();
    content.operatorCaption = PersonalData->Operater->title();
    content.siteCaption = PersonalData->PanelSite->title();
    content.waitText = ws_.texts().text("Wait_25");
    content.margins = Margins->texts();
    content.codePage = displayCodePage();
    return content;
}

void TForm1::Exit1Click() {
    close();
}

// --- Instrument -----------------------------------------------------------------------------

void TForm1::SendStructure1Click() {
    // Not offered by this edition.
}

void TForm1::prepareComm() {
    session_.preparePort(Comm);
}

void TForm1::beginInstrumentCommand() {
    instrumentBusy_ = true;
    heldActions_.clear();
    auto hold = [this](QAction* a) {
        if (a && !a->isSeparator()) {
            heldActions_.emplace_back(a, a->isEnabled());
            a->setEnabled(false);
        }
    };
    for (const auto& entries : menuEntries_)
        for (QAction* a : entries)
            hold(a);
    for (QAction* a : ToolBar1->actions())
        hold(a);
    renamingBeforeBusy_ = treeModel_->renamingAllowed();
    treeModel_->setRenamingAllowed(false);
}

void TForm1::endInstrumentCommand() {
    for (const auto& [a, enabled] : heldActions_)
        a->setEnabled(enabled);
    heldActions_.clear();
    treeModel_->setRenamingAllowed(renamingBeforeBusy_);
    instrumentBusy_ = false;
    if (closePending_) {
        closePending_ = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
}

namespace {

class InstrumentCommandScope {
public:
    explicit InstrumentCommandScope(TForm1& form) : form_(form) { form_.beginInstrumentCommand(); }
    ~InstrumentCommandScope() { form_.endInstrumentCommand(); }
    InstrumentCommandScope(const InstrumentCommandScope&) = delete;
    InstrumentCommandScope& operator=(const InstrumentCommandScope&) = delete;

private:
    TForm1& form_;
};

} // namespace

void TForm1::ReceiveResults1Click() {
    if (instrumentBusy_)
        return;
    const InstrumentCommandScope busy(*this);
    prepareComm();
    ResultsReception host(ws_, *ui_);
    host.onShown = [this](bool familyMatches) {
        if (familyMatches && PanelStruct->isHidden())
            PanelStruct->show();
        expandFirstNode(); // the rebuild has selected it
    };
    receiveResults(Comm, *ui_, host);
    refreshCaption();
    refreshView();
}

void TForm1::InstrumentsData1Click() {
    InstrumentData->exec();
}

// --- Configuration --------------------------------------------------------------------------

void TForm1::COMPort1Click() {
    prepareComm();
    ConfigureCOM->setSettings(ws_.settings());
    ConfigureCOM->setPortMap(session_.portMap());
    ConfigureCOM->applyLanguage(texts());
    ConfigureCOM->setSelection(session_.portChoice());
    ConfigureCOM->exec();
    session_.setPortChoice(ConfigureCOM->selection());
}

void TForm1::SelectLanguage1Click() {
    SelectLanguage->exec();
}

void TForm1::SetDefaultNames1Click() {
    // Not offered by this edition.
}

void TForm1::CalcLength1Click() {
    // Not offered by this edition.
}

// --- Printout heading -----------------------------------------------------------------------

void TForm1::OperatorTestSite1Click() {
    PersonalData->exec();
}

void TForm1::Comments1Click() {
    CommentBox->exec();
}

// --- Help -----------------------------------------------------------------------------------

void TForm1::Contents1Click() {
    const QString file = helpFile();
    if (file.isEmpty()) {
        ui_->messageDlg("No help file is named for this language.", DialogType::Error,
                        {DialogButton::Ok});
    } else if (!Help->showContents(file)) {
        ui_->messageDlg("The help file is missing:\r" + QFile::encodeName(file).toStdString(),
                        DialogType::Error, {DialogButton::Ok});
    }
}

void TForm1::About1Click() {
    AboutBox->exec();
}

// --- Results view ---------------------------------------------------------------------------

namespace {

// The copy buffer holds UTF-8 cells; a copy cut at the buffer's limit may end inside a
// character, which is left out rather than shown as a broken one.
QString clipboardText(const std::string& buffer) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    return utf8(QByteArrayView(buffer.data(), static_cast<qsizetype>(buffer.size())));
}

} // namespace

// Copies the selected cells in the clipboard format of the results table; without the focus
// on the results view the clipboard is emptied.
void TForm1::Copy1Click() {
    QString text;
    if (focusWidget() == TabelaV) {
        TStringGridAll::GridRect r = TabelaV->selectionRect();
        if (r.empty() && TabelaV->currentIndex().isValid()) {
            // Without a selection the current cell is copied.
            const int row = TabelaV->currentIndex().row() + 1;
            r = {TabelaV->currentIndex().column(), row, TabelaV->currentIndex().column(), row};
        }
        if (!r.empty()) {
            // Each cell is decoded on its own, as the view shows it: a cell in the code page
            // next to UTF-8 cells must not turn them into code-page letters.
            const StringGridData& cells = TabelaV->cells();
            copySelection(Odlozisce_, r.left, r.top, r.right, r.bottom, [&](int col, int row) {
                return displayText(cells.cell(col, row), displayCodePage());
            });
            text = clipboardText(Odlozisce_.text());
        }
    }
    QGuiApplication::clipboard()->setText(text);
}

// The results view offers Copy alone.
void TForm1::Popup1Popup() {
    const QList<QAction*> actions = Popup1->actions();
    for (QAction* a : actions)
        a->setVisible(a == Copy1);
}

} // namespace zarn
