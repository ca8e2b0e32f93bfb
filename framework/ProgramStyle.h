// The desktop's widget style, with check boxes and radio buttons drawn in the palette's contrast
// at the program's zoom, and the menu bar's overflow arrow read only when it is first drawn.
// QMenuBar asks for that arrow as it is made, though it shows only when the titles do not fit,
// and the toolkit's first image read costs start-up more time than the rest of the bar.
#pragma once

#include <QProxyStyle>

class ProgramStyle : public QProxyStyle {
public:
    // The style of that name, as QStyleFactory makes it.
    explicit ProgramStyle(const QString& baseName);

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

    // Indicators: an edge that stands out from the window and the field, a tick or dot in the
    // field's text colour. Desktop styles draw the edge a shade off the window, which a dark
    // palette makes all but invisible.
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    // Check box and radio captions with the mnemonic underlined, moved up where the box is too
    // low for the underline below the line.
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    // Indicators and their spacing grow with the zoom, as the text beside them does.
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
};

// Gives the application a ProgramStyle over the style it has now.
void UseProgramStyle();
