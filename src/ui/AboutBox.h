// Help > About: product name, the two version lines, the product picture and three fixed
// lines naming who made the program and where to reach them.
#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

namespace zarn {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // The texts of the configuration, as bytes of the language in use. The window's caption
    // and its OK button take their texts with the other windows' texts.
    void setTexts(const std::string& productName, const std::string& version,
                  const std::string& version2);
    // Loads the product picture (JPEG); false when it cannot be read.
    bool loadPicture(const QString& path);

    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Version2 = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Internet = nullptr;
    QLabel* Email = nullptr;
    QPushButton* OKBtn = nullptr;
};

} // namespace zarn
