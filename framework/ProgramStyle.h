// The desktop's widget style, except that the menu bar's overflow arrow is read only when it
// is first drawn. QMenuBar asks for that arrow as it is made, though it shows only when the
// titles do not fit, and the toolkit's first image read costs start-up more time than the
// rest of the bar.
#pragma once

#include <QProxyStyle>

class ProgramStyle : public QProxyStyle {
public:
    // The style of that name, as QStyleFactory makes it.
    explicit ProgramStyle(const QString& baseName);

    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

// Gives the application a ProgramStyle over the style it has now.
void UseProgramStyle();
