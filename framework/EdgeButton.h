// A push button with a thin sunken edge, painted directly: the look of the small page and
// row buttons, without the cost of a style sheet on every one of them.
#pragma once

#include <QPushButton>

class EdgeButton : public QPushButton {
public:
    EdgeButton(const QString& text, QWidget* parent) : QPushButton(text, parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};
