// Helpers shared by the window tests.
#pragma once

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace zarn::test {

// Runs `action` on the next modal dialog that opens (polling, so it also works for dialogs
// that open inside a nested event loop). Gives up after `timeoutMs`.
inline void onNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000) {
    auto* timer = new QTimer;
    auto elapsed = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, elapsed, action, timeoutMs] {
        *elapsed += 10;
        if (QWidget* modal = QApplication::activeModalWidget(); modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            action(modal);
        } else if (*elapsed > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

// A control of a window, found by its object name; a missing one ends the test run at once.
template <class T>
T* named(const QObject& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no %s named %s", qPrintable(window.objectName()),
               T::staticMetaObject.className(), name);
    return found;
}

// Every entry of the window's menus, separators included, menu by menu.
inline std::vector<QAction*> menuEntries(const QMainWindow& window) {
    std::vector<QAction*> entries;
    for (QAction* top : window.menuBar()->actions())
        if (QMenu* menu = top->menu())
            for (QAction* a : menu->actions())
                entries.push_back(a);
    return entries;
}

// A program directory of its own: the shipped language files and help, and an empty
// ZARN.INI that the test may fill.
class ProgramDir {
public:
    ProgramDir() {
        const QDir data(QStringLiteral(ZARN_DATA_DIR));
        for (const QString& name : data.entryList(QDir::Files))
            QFile::copy(data.filePath(name), dir_.filePath(name));
        QDir().mkpath(dir_.filePath(QStringLiteral("help")));
        const QDir help(data.filePath(QStringLiteral("help")));
        for (const QString& name : help.entryList(QDir::Files))
            QFile::copy(help.filePath(name), dir_.filePath(QStringLiteral("help/") + name));
        QDir().mkpath(dir_.filePath(QStringLiteral("images")));
        const QDir images(data.filePath(QStringLiteral("images")));
        for (const QString& name : images.entryList(QDir::Files))
            QFile::copy(images.filePath(name), dir_.filePath(QStringLiteral("images/") + name));
    }
    std::string path() const { return dir_.path().toStdString() + "/"; }
    QString file(const QString& name) const { return dir_.filePath(name); }
    void writeSettings(const QByteArray& text) const {
        QFile f(dir_.filePath(QStringLiteral("ZARN.INI")));
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
    }

private:
    QTemporaryDir dir_;
};

} // namespace zarn::test
