#include "ui/WindowTexts.h"

#include "print/DisplayText.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QWidget>

namespace zarn {

namespace {

QObject* findControl(QWidget* window, const std::string& name) {
    const QString n = QString::fromStdString(name);
    if (QWidget* w = window->findChild<QWidget*>(n))
        return w;
    return window->findChild<QAction*>(n);
}

bool setCaption(QObject* control, const QString& text) {
    if (auto* b = qobject_cast<QAbstractButton*>(control)) {
        b->setText(text);
    } else if (auto* l = qobject_cast<QLabel*>(control)) {
        l->setText(text);
    } else if (auto* g = qobject_cast<QGroupBox*>(control)) {
        g->setTitle(text);
    } else if (auto* a = qobject_cast<QAction*>(control)) {
        a->setText(text);
    } else if (auto* m = qobject_cast<QMenu*>(control)) {
        m->setTitle(text);
    } else if (auto* w = qobject_cast<QWidget*>(control); w && w->isWindow()) {
        w->setWindowTitle(text);
    } else {
        return false;
    }
    return true;
}

bool setListItem(QObject* control, int index, const QString& text) {
    if (index < 0)
        return false;
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        if (index >= combo->count())
            return false;
        combo->setItemText(index, text);
        return true;
    }
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        if (index >= list->count())
            return false;
        list->item(index)->setText(text);
        return true;
    }
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
        const auto radios = group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
        if (index >= radios.size())
            return false;
        radios[index]->setText(text);
        return true;
    }
    return false;
}

} // namespace

bool applyUiTextTo(QWidget* window, const UiText& text) {
    if (!window)
        return false;
    if (auto* target = dynamic_cast<UiTextTarget*>(window); target && target->applyUiText(text))
        return true;
    const QString value = toDisplay(text.text);
    switch (text.role) {
    case TextRole::Caption:
        if (text.control.empty()) {
            window->setWindowTitle(value);
            return true;
        }
        if (QObject* c = findControl(window, text.control))
            return setCaption(c, value);
        return false;
    case TextRole::Hint:
        if (QObject* c = findControl(window, text.control)) {
            if (auto* a = qobject_cast<QAction*>(c))
                a->setToolTip(value);
            else if (auto* w = qobject_cast<QWidget*>(c))
                w->setToolTip(value);
            return true;
        }
        return false;
    case TextRole::ListItem:
        if (QObject* c = findControl(window, text.control))
            return setListItem(c, text.index, value);
        return false;
    case TextRole::MenuItem: {
        auto* menu = qobject_cast<QMenu*>(findControl(window, text.control));
        if (!menu)
            return false;
        const int pos = text.item >= 0 ? text.item : text.index;
        const auto actions = menu->actions();
        if (pos < 0 || pos >= actions.size())
            return false;
        actions[pos]->setText(value);
        return true;
    }
    case TextRole::WindowText:
    case TextRole::DialogButton:
    case TextRole::DialogTitle:
        return false;
    }
    return false;
}

} // namespace zarn
