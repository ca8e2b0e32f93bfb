// An icon of the program's resources in the toolkit's form, with its large and small images.
#pragma once

#include <QIcon>
#include <QPixmap>

class CIcon {
public:
    explicit CIcon(unsigned resourceId);
    const QIcon& icon() const { return m_icon; }
    QPixmap pixmap(int size) const; // the image of that size, or the nearest one scaled
    bool isNull() const { return m_icon.isNull(); }

private:
    QIcon m_icon;
};
