#pragma once

#include "tools/ToolCodes.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QString>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

// A control of the tool option panel (or any window), found by its object
// name; a missing one fails the test.
template <class T>
T* ControlNamed(const QWidget& window, const QString& name)
{
    T* control = window.findChild<T*>(name);
    EXPECT_NE(control, nullptr) << name.toStdString();
    return control;
}

// The controls of the option page of a placed-object tool, found by their
// names (SpnRectBorderW, MemBalloonText). The text page has no border width.
struct TObjectPage {
    QSpinBox* BorderWidth = nullptr;
    QComboBox* FontName = nullptr;
    QSpinBox* FontSize = nullptr;
    QToolButton* Bold = nullptr;
    QToolButton* Italic = nullptr;
    QToolButton* Underline = nullptr;
    QToolButton* Cancel = nullptr;
    QToolButton* Commit = nullptr;
    QPlainTextEdit* Text = nullptr;
};

inline TObjectPage ObjectPage(const QWidget& panel, TToolCode code)
{
    const QString prefix = code == TToolCode::Rectangle ? "Rect"
                           : code == TToolCode::Ellipse ? "Ellipse"
                           : code == TToolCode::Text    ? "Text"
                                                        : "Balloon";
    TObjectPage page;
    page.BorderWidth = panel.findChild<QSpinBox*>("Spn" + prefix + "BorderW");
    page.FontName = ControlNamed<QComboBox>(panel, "Cmb" + prefix + "FontName");
    page.FontSize = ControlNamed<QSpinBox>(panel, "Spn" + prefix + "FontSize");
    page.Bold = ControlNamed<QToolButton>(panel, "Btn" + prefix + "Bold");
    page.Italic = ControlNamed<QToolButton>(panel, "Btn" + prefix + "Italic");
    page.Underline = ControlNamed<QToolButton>(panel, "Btn" + prefix + "Underline");
    page.Cancel = ControlNamed<QToolButton>(panel, "Btn" + prefix + "Cancel");
    page.Commit = ControlNamed<QToolButton>(panel, "Btn" + prefix + "Commit");
    page.Text = ControlNamed<QPlainTextEdit>(panel, "Mem" + prefix + "Text");
    return page;
}
