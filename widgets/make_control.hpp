// Controls placed as the window layouts give them: in twips inside their container, with an
// object name (the name the layout and the tests use) and their caption or text.
#pragma once

#include <QString>
#include <QWidget>

#include "twips.hpp"

namespace scene {

template <typename Control>
Control* MakeControl(QWidget* container, const char* name, int left, int top, int width, int height,
                     const char* text = nullptr) {
    auto* control = new Control(container);
    control->setObjectName(name);
    PlaceInTwips(*control, left, top, width, height);
    if constexpr (requires { control->setText(QString()); }) {
        if (text) control->setText(text);
    }
    return control;
}

}  // namespace scene
