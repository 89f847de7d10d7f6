// File › Export…: the export format. Two radio groups choose the column delimiter (TAB or
// ";") and the row delimiter (CR LF, CR or LF). The delimiters chosen with OK stay for the
// next export and across a language switch; Cancel or closing the window puts the groups
// back to them.
#pragma once

#include "core/inspection/TextExport.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QPushButton;

namespace zarn {

class TExportDlg : public QDialog {
    Q_OBJECT
public:
    explicit TExportDlg(QWidget* parent = nullptr);

    // The delimiters taken by the last OK (TAB and CR LF until then).
    ExportFormat format() const { return format_; }
    void setFormat(ExportFormat format);

    QGroupBox* ColDelimiter = nullptr;
    QGroupBox* RowDelimiter = nullptr;
    QPushButton* OKbtn = nullptr;
    QPushButton* Cancelbtn = nullptr;

public slots:
    void OKbtnClick();

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;

private:
    void showFormat();

    QButtonGroup* columns_ = nullptr;
    QButtonGroup* rows_ = nullptr;
    ExportFormat format_;
};

} // namespace zarn
