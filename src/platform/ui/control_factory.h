#pragma once
// Makes the widget of a template control and the window object that
// answers for it until a member of the dialog subclasses it.

#include <QWidget>
#include <memory>

#include "platform/ui/resources.h"

class CWnd;

struct MadeControl {
    QWidget* widget = nullptr;
    std::unique_ptr<CWnd> object;  // the typed control of its kind
};

MadeControl MakeControl(const ControlTemplate& control, QWidget* parent);
