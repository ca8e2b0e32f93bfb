#include "framework/ControlMark.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVariant>
#include <vector>

namespace {

const char* const kMarkProperty = "vocamintMark";

QString TextOf(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    return widget->windowTitle();
}

// The marked widgets and how they were drawn before; it lives as a child of the first one.
class Mark : public QObject {
public:
    explicit Mark(QWidget* owner) : QObject(owner) {}
    ~Mark() override {
        for (const Marked& marked : m_marked) {
            if (!marked.widget)
                continue;
            marked.widget->setProperty(kMarkProperty, QVariant());
            marked.widget->setAutoFillBackground(marked.autoFill);
            // A palette of its own goes back; an inherited one is inherited again, so that a
            // theme chosen meanwhile shows.
            marked.widget->setPalette(marked.ownPalette ? marked.palette : QPalette());
        }
    }

    void add(QWidget* widget) {
        m_marked.push_back({widget, widget->autoFillBackground(),
                            widget->testAttribute(Qt::WA_SetPalette), widget->palette()});
        widget->setProperty(kMarkProperty, QVariant::fromValue<QObject*>(this));
        QPalette marked = widget->palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
            marked.setColor(group, QPalette::Window, marked.color(group, QPalette::Highlight));
            marked.setColor(group, QPalette::Button, marked.color(group, QPalette::Highlight));
            marked.setColor(group, QPalette::WindowText,
                            marked.color(group, QPalette::HighlightedText));
        }
        widget->setPalette(marked);
        widget->setAutoFillBackground(true);
    }

private:
    struct Marked {
        QPointer<QWidget> widget;
        bool autoFill;
        bool ownPalette;
        QPalette palette;
    };
    std::vector<Marked> m_marked;
};

Mark* MarkOn(const QWidget* widget) {
    return widget ? static_cast<Mark*>(widget->property(kMarkProperty).value<QObject*>()) : nullptr;
}

} // namespace

void MarkControls(std::initializer_list<QWidget*> controls) {
    Mark* mark = nullptr;
    for (QWidget* widget : controls) {
        if (widget == nullptr)
            continue;
        delete MarkOn(widget);
        if (mark == nullptr)
            mark = new Mark(widget);
        mark->add(widget);
    }
}

bool IsMarked(const QWidget* control) {
    return MarkOn(control) != nullptr;
}

void EndMarkOnTextChange(QWidget* control, const QString& newText) {
    if (Mark* mark = MarkOn(control); mark != nullptr && TextOf(control) != newText)
        delete mark;
}
