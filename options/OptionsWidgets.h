#pragma once

// Small makers shared by the options window's pages: every control gets its
// object name, its hint (shown in the status line, never as a tool tip) and
// its help number the same way.
#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <QString>
#include <QWidget>

namespace OptionsWidgets {

inline constexpr const char* kHelpContext = "HelpContext";
inline constexpr const char* kTag = "Tag";

inline void setHelp(QWidget* w, int number)
{
    w->setProperty(kHelpContext, number);
}

inline void setHint(QWidget* w, const QString& hint)
{
    // Hints go to the application's status line, never to tool tips.
    w->setStatusTip(hint);
}

inline QLabel* makeLabel(const QString& caption, QWidget* buddy, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

inline QSpinBox* makeSpin(const char* name, int low, int high, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(low, high);
    spin->setMinimumWidth(64);
    return spin;
}

inline QCheckBox* makeCheck(const char* name, const QString& caption, QWidget* parent)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

} // namespace OptionsWidgets
