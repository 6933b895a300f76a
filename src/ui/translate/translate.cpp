#include "ui/translate/translate.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <string>
#include <vector>

#include "support/lang/lang_list.h"

namespace trawler::ui {
namespace {

constexpr int kFirstInterfaceEntry = 100;

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The text number an object carries, or 0.
int TagOf(const QObject* object) {
    bool ok = false;
    const int tag = object->property("tag").toInt(&ok);
    return ok ? tag : 0;
}

// A page of a tab widget: the tab widget holding it, else none.
QTabWidget* TabWidgetOfPage(QWidget* widget) {
    auto* stack = qobject_cast<QStackedWidget*>(widget->parentWidget());
    if (!stack) return nullptr;
    auto* tabs = qobject_cast<QTabWidget*>(stack->parentWidget());
    return tabs && tabs->indexOf(widget) >= 0 ? tabs : nullptr;
}

void SetCaption(QObject* object, const QString& caption) {
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setText(caption);
    } else if (auto* menu = qobject_cast<QMenu*>(object)) {
        menu->setTitle(caption);
    } else if (auto* tool = qobject_cast<QToolButton*>(object); tool && tool->defaultAction()) {
        // The button shows its action, which carries the text.
    } else if (auto* button = qobject_cast<QAbstractButton*>(object)) {
        button->setText(caption);
    } else if (auto* label = qobject_cast<QLabel*>(object)) {
        label->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(object)) {
        group->setTitle(caption);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        if (QTabWidget* tabs = TabWidgetOfPage(widget))
            tabs->setTabText(tabs->indexOf(widget), caption);
        else if (widget->isWindow() || qobject_cast<QToolBar*>(widget) || qobject_cast<QDockWidget*>(widget))
            widget->setWindowTitle(caption);
    }
}

void SetHint(QObject* object, const QString& hint) {
    if (auto* action = qobject_cast<QAction*>(object)) {
        action->setToolTip(hint);
        action->setStatusTip(hint);
    } else if (auto* widget = qobject_cast<QWidget*>(object)) {
        if (QTabWidget* tabs = TabWidgetOfPage(widget)) tabs->setTabToolTip(tabs->indexOf(widget), hint);
        widget->setToolTip(hint);
        widget->setStatusTip(hint);
    }
}

void SetItems(QObject* object, const std::vector<std::string>& texts) {
    if (auto* combo = qobject_cast<QComboBox*>(object)) {
        const int count = std::min(combo->count(), static_cast<int>(texts.size()));
        for (int i = 0; i < count; ++i) combo->setItemText(i, FromUtf8(texts[static_cast<std::size_t>(i)]));
    } else if (auto* list = qobject_cast<QListWidget*>(object)) {
        const int count = std::min(list->count(), static_cast<int>(texts.size()));
        for (int i = 0; i < count; ++i) list->item(i)->setText(FromUtf8(texts[static_cast<std::size_t>(i)]));
    }
}

void ApplyColumns(QObject* object, const lang::tALanglist& lang) {
    auto* view = qobject_cast<QAbstractItemView*>(object);
    if (!view || !view->model()) return;
    const QVariantList tags = view->property("columnTags").toList();
    for (int column = 0; column < tags.size(); ++column) {
        bool ok = false;
        const int n = tags[column].toInt(&ok);
        if (!ok || n < kFirstInterfaceEntry) continue;
        const std::string caption = lang.CaptionText(n);
        if (!caption.empty()) view->model()->setHeaderData(column, Qt::Horizontal, FromUtf8(caption));
    }
}

void SetFont(QObject* object, const lang::tALanglist& lang) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget || lang.FontName.empty()) return;
    const QString family = FromUtf8(lang.FontName);
    if (widget->font().family() == family) return;
    QFont font = widget->font();
    font.setFamily(family);
    widget->setFont(font);
}

}  // namespace

void ApplyEntry(QObject* object, int n, const lang::tALanglist& lang) {
    if (!object) return;
    const lang::InterfaceEntry entry = lang.Entry(n);
    if (!entry.Caption.empty()) SetCaption(object, FromUtf8(entry.Caption));
    if (!entry.Hint.empty()) SetHint(object, FromUtf8(entry.Hint));
    if (!entry.Items.empty()) SetItems(object, lang::SplitItems(entry.Items));
}

void ApplyToComponent(QObject* root, const lang::tALanglist& lang) {
    if (!root) return;
    SetFont(root, lang);
    const int tag = TagOf(root);
    if (tag >= kFirstInterfaceEntry) ApplyEntry(root, tag, lang);
    // A copy: applying an entry may create objects (a tab bar's buttons).
    const QObjectList children = root->children();
    for (QObject* child : children) ApplyToComponent(child, lang);
    ApplyColumns(root, lang);
}

void ApplyToApplication(const lang::tALanglist& lang) {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows)
        if (!window->parentWidget()) ApplyToComponent(window, lang);
}

}  // namespace trawler::ui
