#include "core/lang/LanguageKeys.h"

#include <set>
#include <tuple>
#include <utility>

namespace zarn {

namespace {

// Builds the plan with one short call per step.
class PlanBuilder {
public:
    std::vector<KeyStep> steps;

    void table(std::string key) {
        KeyStep step;
        step.key = std::move(key);
        step.toTable = true;
        steps.push_back(std::move(step));
    }
    // Keys given as prefix + first..last + suffix, e.g. Glava0_0 ... Glava10_0.
    void tableRange(std::string_view prefix, int first, int last) {
        for (int i = first; i <= last; ++i)
            table(std::string(prefix) + std::to_string(i) + "_0");
    }
    void ui(std::string key, TextRole role, std::string window, std::string control, int index = -1,
            int item = -1, bool alsoTable = false) {
        steps.push_back({std::move(key), alsoTable, true, role, std::move(window),
                         std::move(control), index, item});
    }
    void caption(std::string key, std::string window, std::string control = {}) {
        ui(std::move(key), TextRole::Caption, std::move(window), std::move(control));
    }
    void hint(std::string key, std::string window, std::string control) {
        ui(std::move(key), TextRole::Hint, std::move(window), std::move(control));
    }
    void menu(std::string key, std::string menuName, int index, int item = -1) {
        ui(std::move(key), TextRole::MenuItem, "TForm1", std::move(menuName), index, item);
    }
    void list(std::string key, std::string window, std::string control, int index) {
        ui(std::move(key), TextRole::ListItem, std::move(window), std::move(control), index);
    }
    // A key that must be present but whose text is not applied.
    void required(std::string key) {
        KeyStep step;
        step.key = std::move(key);
        steps.push_back(std::move(step));
    }
};

std::vector<KeyStep> buildPlan() {
    PlanBuilder p;
    for (const char* key : {"ExtensionVEKO_3",   "Noname_8",
                            "CommError_40",      "TerminateComm_40",
                            "AddObject_13",      "AddBlock_13",
                            "AddStrelovod_13",   "AddGip_13",
                            "AddRCD_13",         "DeleteRCD_13",
                            "DeleteObject_13",   "DeleteBlock_13",
                            "AddFuse_13",        "DeleteStrelovod_13",
                            "AddSteber_13",      "AddPovezava_13",
                            "DeleteGIP_13",      "AddOzemljitev_13",
                            "DeleteFuse_13",     "DeleteSteber_13",
                            "DeletePovezava_13", "DeleteOzemljitev_13",
                            "AddObjectIT_13",    "AddCircuit_13",
                            "AddParticular_13",  "DeleteObjectIT_13",
                            "DeleteCircuit_13",  "DeleteParticular_13",
                            "Object_20",         "BLOCK_20",
                            "STRELOVOD_20",      "GIP_20",
                            "FUSE_20",           "RCD_20",
                            "STEBER_20",         "POVEZAVA_20",
                            "OZEMLJITEV_20",     "OBJECTIT_20",
                            "CIRCUIT_20",        "PARTICULAR_20",
                            "NoMeasuresIn_30",   "MeasuresMissing_30",
                            "ViewResults_16",    "ModifyStruct_16"})
        p.table(key);
    p.caption("CreateReport_15", "TForm1", "CreateProt");
    p.caption("ViewReport_15", "TForm1", "ViewProt");
    for (const char* key :
         {"Version_20", "SaveResults_30", "Open_30", "FileNotExist_40", "SaveAs_30",
          "AlreadyExists_40", "ReplaceIt_40", "LoseAllData_50", "YouSure_40", "SendStruct_30",
          "Searching_30", "ClearingMem_40", "SendingStruct_30", "OutOfMEM_30", "ReceiveResults_30",
          "ReceivingResults_30", "Receiving_30"})
        p.table(key);
    p.tableRange("VGlava", 0, 6);
    p.table("of_5");

    const std::pair<const char*, const char*> mainHints[] = {
        {"HintNew_30", "IcoNew"},           {"HintOpen_30", "IcoOpen"},
        {"HintSave_30", "IcoSave"},         {"HintSendS_30", "IcoSendS"},
        {"HintReceiveR_30", "IcoReceiveR"}, {"HintPrintResults_30", "IcoPrint"}};
    for (const auto& [key, control] : mainHints)
        p.hint(key, "TForm1", control);
    const std::pair<const char*, const char*> previewHints[] = {
        {"HintFirstPage_30", "IcoLeftK"},     {"HintPreviousPage_30", "IcoLeft"},
        {"HintNextPage_30", "IcoRight"},      {"HintLastPage_30", "IcoRightK"},
        {"HintZoomIn_30", "IcoZoomIn"},       {"HintZoomOut_30", "IcoZoomOut"},
        {"HintPrintSetup_30", "IcoPrintSet"}, {"HintMargins_30", "IcoMargins"},
        {"HintPrint_30", "IcoPrint"},         {"HintStopPreview_30", "IcoExit"}};
    for (const auto& [key, control] : previewHints)
        p.hint(key, "TPreview", control);
    p.hint("HintStopPreview_30", "TGraphForm", "IcoExit");
    const std::pair<const char*, const char*> protocolHints[] = {
        {"HintFirstPage_30", "IcoLeftK"},    {"HintPreviousPage_30", "IcoLeft"},
        {"HintNextPage_30", "IcoRight"},     {"HintLastPage_30", "IcoRightK"},
        {"HintPrintPreview_30", "IcoPrint"}, {"HintStopPreview_30", "IcoExit"},
        {"HintLoadImage_30", "IcoLoad"}};
    for (const auto& [key, control] : protocolHints)
        p.hint(key, "TProtocol", control);

    p.tableRange("Glava", 0, 10);
    p.tableRange("GlavaE", 1, 10);
    p.tableRange("GlavaS1", 0, 4); // GlavaS10_0 ... GlavaS14_0
    p.tableRange("GlavaS1E", 1, 3);
    p.table("GlavaS20_0");
    p.table("GlavaS21_0");
    p.table("GlavaS2E1_0");
    p.tableRange("GlavaF", 0, 4);
    p.tableRange("GlavaFE", 1, 4);
    for (const char* key : {"LoadImage_30", "ImageFiles_13", "LoadLogo_30", "Wait_25", "Noname_8"})
        p.table(key);

    const char* topMenus[] = {"&File_30", "&Instrument_30", "&Configuration_30",
                              "&PrintoutHeading_30", "&Help_30"};
    for (int i = 0; i < 5; ++i)
        p.menu(topMenus[i], "MainMenu1", i);
    const std::tuple<const char*, int, int> items[] = {{"&New_30", 0, 0},
                                                       {"&Open_30", 0, 1},
                                                       {"&Save_30", 0, 2},
                                                       {"&SaveAs_30", 0, 3},
                                                       {"&Export_30", 0, 5},
                                                       {"&PrintPreview_30", 0, 7},
                                                       {"&Exit_30", 0, 9},
                                                       {"&SendStructure_30", 1, 0},
                                                       {"&ReceiveResults_30", 1, 2},
                                                       {"&InstrumentsData_30", 1, 4},
                                                       {"&COMPort_30", 2, 0},
                                                       {"&SelectLanguage_30", 2, 1},
                                                       {"&SetDefaultNames_30", 2, 3},
                                                       {"CalcLength_30", 2, 5},
                                                       {"&OperatorTestSite_30", 3, 0},
                                                       {"&Comments_30", 3, 1},
                                                       {"&Contents_30", 4, 0},
                                                       {"&About_30", 4, 4}};
    for (const auto& [key, top, item] : items)
        p.menu(key, "MainMenu1", top, item);

    p.caption("PrintPreview_40", "TPreview");
    p.caption("Stop_11", "TPreview", "IcoExit");
    // The graph window's stop button shows only its picture: its caption is cleared.
    p.required("Stop_11");
    p.caption("Margins_20", "TMargins");
    p.caption("Left_7", "TMargins", "LeftLab");
    p.caption("Right_7", "TMargins", "RightLab");
    p.caption("Top_7", "TMargins", "TopLab");
    p.caption("Bottom_7", "TMargins", "BottomLab");
    p.caption("&Cancel_11", "TMargins", "CancelBtn");
    p.caption("&Save_11", "TMargins", "SaveBtn");
    p.caption("&Cancel_11", "TGaugeDlg", "CancelBtn");
    p.caption("SelectLanguage_25", "TSelectLanguage");
    p.caption("Language_25", "TSelectLanguage", "LangGroup");
    p.caption("&OK_11", "TSelectLanguage", "OKBtn");
    p.caption("&Cancel_11", "TSelectLanguage", "CancelBtn");
    p.caption("Protocol_30", "TProtocol");
    p.caption("Stop_11", "TProtocol", "IcoExit");
    p.caption("OperatorTestSite_40", "TPersonalData");
    p.caption("Operator_30", "TPersonalData", "Operater");
    p.caption("TestSite_30", "TPersonalData", "PanelSite");
    p.caption("&OK_11", "TPersonalData", "OKBtn");
    p.caption("&Cancel_11", "TPersonalData", "CancelBtn");
    p.ui("Text_11", TextRole::WindowText, "TPersonalData", "Text");
    p.ui("Picture_11", TextRole::WindowText, "TPersonalData", "Picture");
    p.caption("Load_11", "TPersonalData", "LoadBtn");
    p.caption("Footer_30", "TPersonalData", "FooterLab");
    p.caption("About_30", "TAboutBox");
    p.caption("&OK_11", "TAboutBox", "OKBtn");
    // The About box shows fixed lines for maker, web and e-mail address.
    p.required("CopyRight_20");
    p.required("Internet_30");
    p.required("Email_30");
    p.caption("Length_11", "TSkupniLEN");
    p.caption("Autotests_11", "TSkupniLEN", "labA0");
    p.caption("Length_11", "TSkupniLEN", "labB0");
    p.table("NoResult_20");
    p.caption("ConfigureCOMPort_30", "TConfigureCOM");
    p.caption("COMPort_20", "TConfigureCOM", "COMPortGrp");
    p.caption("BaudRAte_20", "TConfigureCOM", "BaudRateGrp");
    p.caption("&Cancel_11", "TConfigureCOM", "Cancel2Btn");
    p.caption("SearchConfig_25", "TConfigureCOM", "SearchLab");
    p.caption("Wait_25", "TConfigureCOM", "WaitLab");
    p.caption("&Cancel_11", "TConfigureCOM", "CancelBtn");
    p.caption("&OK_11", "TConfigureCOM", "OKBtn");
    p.caption("&AutoFind_11", "TConfigureCOM", "FindBtn");
    const char* buttons[] = {"&Yes_11",   "&No_11",     "&OK_11",    "&Cancel_11",  "&Abort_11",
                             "&Retry_11", "&Ignore_11", "&All_11",   "&NoToAll_11", "&YesToAll_11",
                             "&Help_11",  "&Close_11",  "&Custom_11"};
    for (int i = 0; i < 13; ++i)
        p.ui(buttons[i], TextRole::DialogButton, "MessageDialog", {}, i);
    const char* titles[] = {"Warning_30", "Error_30", "Information_30", "Confirmation_30",
                            "Custom_30"};
    for (int i = 0; i < 5; ++i)
        p.ui(titles[i], TextRole::DialogTitle, "MessageDialog", {}, i, -1,
             std::string_view(titles[i]) == "Error_30");
    p.caption("ExportFormat_30", "TExportDlg");
    p.caption("Delimiter_25", "TExportDlg", "ColDelimiter");
    p.caption("EOLSign_25", "TExportDlg", "RowDelimiter");
    p.list("TAB_15", "TExportDlg", "ColDelimiter", 0);
    p.list("semicolon_15", "TExportDlg", "ColDelimiter", 1);
    p.list("CRLF_15", "TExportDlg", "RowDelimiter", 0);
    p.list("CR_15", "TExportDlg", "RowDelimiter", 1);
    p.list("LF_15", "TExportDlg", "RowDelimiter", 2);
    p.caption("&OK_11", "TExportDlg", "OKbtn");
    p.caption("&Cancel_11", "TExportDlg", "Cancelbtn");
    p.table("ExportTo_40");
    p.table("TextFiles_12");
    p.caption("InstrumentsData_30", "TInstrumentData");
    p.caption("Instrument_25", "TInstrumentData", "LabInstr");
    p.caption("SerialNumber_25", "TInstrumentData", "LabNum");
    p.caption("FirmData_25", "TInstrumentData", "LabFirm");
    p.caption("UserData_25", "TInstrumentData", "LabUser");
    p.caption("&OK_11", "TInstrumentData", "OKbtn");
    p.caption("&ReceiveData_15", "TInstrumentData", "ReceiveBtn");
    p.menu("&Copy_30", "Popup1", 0);
    p.menu("&Paste_30", "Popup1", 2);
    p.menu("&InsertRow_30", "Popup1", 4);
    p.menu("&DeleteRow_30", "Popup1", 5);
    p.menu("CalcLength_30", "popTree", 0);
    p.table("&DeleteRow_30");
    p.caption("Comments_30", "TCommentBox");
    p.caption("Comments_30", "TCommentBox", "checkComments");
    p.caption("AutotestComments", "TCommentBox", "checkSComm");
    p.caption("PageNumbers", "TCommentBox", "checkPageNum");
    p.caption("&OK_11", "TCommentBox", "OkBtn");
    p.caption("&Cancel_11", "TCommentBox", "CancelBtn");
    p.caption("Measurements_30", "TForm1", "MeasureLab");
    p.caption("DefaultNames_30", "TDefaultNames");
    p.caption("&OK_11", "TDefaultNames", "OkBtn");
    p.caption("&Cancel_11", "TDefaultNames", "CancelBtn");
    p.caption("&Default_11", "TDefaultNames", "DefaultBtn");
    p.caption("SelectPages_25", "TSelectPages");
    p.caption("PagesToPrint_30", "TSelectPages", "PagesLab");
    p.caption("&Print_11", "TSelectPages", "PrnBtn");
    p.caption("&Cancel_11", "TSelectPages", "CancelBtn");
    p.caption("DetailReport_30", "TForm1", "ReportDetail");
    p.list("Full_15", "TForm1", "ReportDetail", 0);
    p.list("Medium_15", "TForm1", "ReportDetail", 1);
    p.list("Low_15", "TForm1", "ReportDetail", 2);
    p.list("PageWidth_12", "TPreview", "Zoom", 12);
    p.list("WholePage_12", "TPreview", "Zoom", 13);
    return p.steps;
}

} // namespace

const std::vector<KeyStep>& languageKeyPlan() {
    static const std::vector<KeyStep> plan = buildPlan();
    return plan;
}

const std::vector<std::string>& editionKeys() {
    static const std::vector<std::string> keys = {
        "HelpFileMini_12", "ExtensionMini_3",  "MainCaptionMini_20",
        "StructFiles_13",  "InstrNameMini_20", "Version_20",
        "Noname_8",        "ExtensionVEKO_3",  "ExtensionINSTAL_3"};
    return keys;
}

const std::vector<std::string>& requiredLanguageKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> out;
        std::set<std::string> seen;
        for (const auto& step : languageKeyPlan()) {
            if (seen.insert(step.key).second)
                out.push_back(step.key);
        }
        for (const auto& key : editionKeys()) {
            if (seen.insert(key).second)
                out.push_back(key);
        }
        return out;
    }();
    return keys;
}

const std::vector<std::string>& protocolTextKeys() {
    static const std::vector<std::string> keys = [] {
        std::vector<std::string> out;
        auto range = [&out](std::string_view prefix, int first, int last) {
            for (int i = first; i <= last; ++i)
                out.push_back(std::string(prefix) + std::to_string(i) + "_0");
        };
        range("OO_Lab", 1, 21);
        range("BB_Lab", 1, 9);
        range("BB_CBox", 1, 29);
        range("SS_Lab", 1, 33);
        range("SS_CBox", 1, 9);
        range("SS_CBox", 19, 24);
        range("TT_Lab", 1, 2);
        return out;
    }();
    return keys;
}

const std::vector<FontTarget>& languageFontTargets() {
    static const std::vector<FontTarget> targets = [] {
        const std::string sans = "MS Sans Serif";
        const std::string mono = "Courier New";
        std::vector<FontTarget> out;
        auto add = [&out, &sans](const std::string& window,
                                 std::initializer_list<std::string> controls) {
            out.push_back({window, {}, sans});
            for (const auto& c : controls)
                out.push_back({window, c, sans});
        };
        add("TAboutBox", {});
        add("TCommentBox", {});
        out.push_back({"TCommentBox", "Comments", mono});
        add("TInstrumentData", {"GroupBox1", "UserBox"});
        add("TConfigureCOM", {});
        add("TSelectLanguage", {});
        add("TExportDlg", {});
        add("TDefaultNames", {});
        add("TGaugeDlg", {"Label1"});
        add("TFormScope", {});
        add("TMargins", {});
        add("TSelectPages", {});
        add("TSkupniLEN", {"labA0", "labB0", "labO", "labB", "labF"});
        add("TPersonalData", {"Footer", "Site1", "Site2", "Operator1", "Operator2"});
        add("TReceiveRezForm", {"ProtocolPanel", "GraphsPanel", "MerCount", "GraphsList"});
        add("TProtocol", {"ObjektStr", "BlokStr"});
        add("TPreview", {});
        add("TForm1", {"Tree"});
        out.push_back({"TForm1", "TabelaV", mono});
        return out;
    }();
    return targets;
}

const std::vector<DefaultNameLabel>& defaultNameLabels() {
    static const std::vector<DefaultNameLabel> labels = {{"labObject", "Object_20"},
                                                         {"labBlock", "BLOCK_20"},
                                                         {"labFuse", "FUSE_20"},
                                                         {"labRCD", "RCD_20"},
                                                         {"labLightRod", "STRELOVOD_20"},
                                                         {"labElectrode", "STEBER_20"},
                                                         {"labConnection1", "POVEZAVA_20"},
                                                         {"labMPE", "GIP_20"},
                                                         {"labConnection2", "POVEZAVA_20"},
                                                         {"labEarthing", "OZEMLJITEV_20"}};
    return labels;
}

} // namespace zarn
