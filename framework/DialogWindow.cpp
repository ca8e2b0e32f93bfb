#include "framework/DialogWindow.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QVariant>

#include "framework/Appearance.h"
#include "framework/CIcon.h"
#include "framework/CWinApp.h"
#include "framework/DialogUnits.h"
#include "framework/EdgeButton.h"
#include "framework/Placement.h"
#include "framework/ResourceTypes.h"

namespace {

// The template's font, or its fallback where the template's face is not installed; the
// template's phonetic face second, for the symbols the first lacks. Metrics, and with them the
// dialog units, are the first face's.
QFont TemplateFont(const DialogTemplate& dialogTemplate) {
    const QString face = QString::fromUtf8(dialogTemplate.fontFace ? dialogTemplate.fontFace : "");
    const QStringList installed = QFontDatabase::families();
    const QString used = installed.contains(face) || dialogTemplate.fallbackFontFace == nullptr
                             ? face
                             : QString::fromUtf8(dialogTemplate.fallbackFontFace);
    QFont font(used);
    if (dialogTemplate.phoneticFontFace != nullptr)
        font.setFamilies({used, QString::fromUtf8(dialogTemplate.phoneticFontFace)});
    font.setPointSize(dialogTemplate.pointSize > 0 ? dialogTemplate.pointSize : 9);
    return font;
}

QPixmap IconPixmap(unsigned iconId) {
    const int size = GetSystemMetrics(SM_CXICON);
    if (CWinApp* app = AfxGetApp()) {
        const HICON icon = app->LoadIcon(iconId);
        return icon ? icon->pixmap(size) : QPixmap();
    }
    return CIcon(iconId).pixmap(size);
}

} // namespace

DialogWindow::DialogWindow(MessageSink send, const DialogTemplate& dialogTemplate, QWidget* owner)
    : QDialog(owner), m_send(std::move(send)), m_template(dialogTemplate),
      m_hasMinimizeBox((dialogTemplate.style & DS_MINIMIZEBOX) != 0) {
    Qt::WindowFlags flags = (dialogTemplate.style & DS_APPWINDOW) ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
             Qt::WindowCloseButtonHint;
    if (m_hasMinimizeBox)
        flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    setWindowTitle(QString::fromUtf8(dialogTemplate.caption ? dialogTemplate.caption : ""));
    setFont(Zoom::Scaled(TemplateFont(dialogTemplate)));
    installEventFilter(this);

    // Creation order is the toolkit's focus chain, so the template order is the tab order.
    for (const ControlTemplate& row : dialogTemplate.controls)
        m_items.push_back({&row, createControl(row)});
    layOut();
    // A label shows its mnemonic underlined only with a buddy.
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        auto* label = qobject_cast<QLabel*>(m_items[i].widget);
        if (label == nullptr || m_items[i].row->kind != ControlKind::Label ||
            (m_items[i].row->style & CS_NOPREFIX))
            continue;
        if (QWidget* buddy = nextTabStop(i, false))
            label->setBuddy(buddy);
    }

    m_systemMenu = new QMenu(this);
    scaleMenus();
    resetSystemMenu();
    connect(m_systemMenu, &QMenu::triggered, this, [this](QAction* action) {
        SendToDialog(WM_SYSCOMMAND, static_cast<WPARAM>(action->data().toULongLong()));
    });
}

DialogWindow::~DialogWindow() = default;

// The template's font at the program's zoom, and every control placed in its dialog units
// below the menu bar.
void DialogWindow::layOut() {
    setFont(Zoom::Scaled(TemplateFont(m_template)));
    const DialogUnits units = DialogUnits::FromFont(font());
    const QFontMetrics metrics(font());
    const int underlineBottom = metrics.ascent() + metrics.underlinePos() + metrics.lineWidth();
    const QPoint top(0, m_clientTop);
    for (const Item& item : m_items) {
        const ControlTemplate& row = *item.row;
        if (row.kind == ControlKind::Icon) {
            const int size = GetSystemMetrics(SM_CXICON);
            item.widget->setGeometry(units.toPixelsX(row.x), units.toPixelsY(row.y), size, size);
        } else {
            QRect rect = units.toPixels(row.x, row.y, row.cx, row.cy);
            // A one-line label is exactly one line high, but the fallback font draws its
            // underscore just below the line: give it room, or the separator rules vanish.
            if (row.kind == ControlKind::Label)
                rect.setHeight(std::max(rect.height(), underlineBottom));
            item.widget->setGeometry(rect);
        }
        item.widget->move(item.widget->pos() + top);
    }
    const int width = units.toPixelsX(m_template.cx);
    if (m_menuBar != nullptr)
        m_menuBar->setGeometry(0, 0, width, m_clientTop);
    setFixedSize(width, units.toPixelsY(m_template.cy) + m_clientTop);
}

void DialogWindow::rescale() {
    // Each pass lays out at a lower step; the estimate of the fit is off by a few pixels at most.
    for (int pass = 0; pass < 4; ++pass) {
        setFont(Zoom::Scaled(TemplateFont(m_template)));
        scaleMenus();
        if (m_menuBar != nullptr)
            m_clientTop = m_menuBar->sizeHint().height();
        layOut();
        const int largest = largestZoom();
        if (Zoom::Percent() <= largest)
            return;
        Zoom::SetPercent(pass == 0 ? largest : Zoom::Step(Zoom::Percent(), -1));
    }
}

int DialogWindow::largestZoom() const {
    const QScreen* shownOn = screen();
    if (shownOn == nullptr)
        return Zoom::kMax;
    // The frame around the window does not grow with the zoom; what it holds does.
    const QSize frame = isVisible() ? frameGeometry().size() - size() : QSize(0, 0);
    const QSize atDefault = size() * (static_cast<double>(Zoom::kDefault) / Zoom::Percent());
    return Zoom::Largest(atDefault, shownOn->availableGeometry().size() - frame);
}

void DialogWindow::placeBesideOwner() {
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner == nullptr || owner->screen() == nullptr)
        return;
    // Before it is shown this window has no frame yet: it will get one like its owner's.
    const QSize frame = owner->frameGeometry().size() - owner->size();
    const std::optional<QPoint> at =
        PlaceBeside(owner->frameGeometry(), size() + frame, owner->screen()->availableGeometry());
    if (at)
        move(*at);
}

// Drop-down and popup menus are windows of their own, which take no font from the dialog.
void DialogWindow::scaleMenus() {
    const auto scale = [](QMenu* menu) {
        menu->setFont(Zoom::Percent() == Zoom::kDefault ? QFont()
                                                        : Zoom::Scaled(QApplication::font(menu)));
    };
    scale(m_systemMenu);
    if (m_menuBar != nullptr) {
        for (QMenu* menu : m_menuBar->findChildren<QMenu*>())
            scale(menu);
    }
}

QWidget* DialogWindow::createControl(const ControlTemplate& row) {
    const QString caption = QString::fromUtf8(row.caption ? row.caption : "");
    QWidget* widget = nullptr;
    switch (row.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = (row.style & CS_STATICEDGE) ? new EdgeButton(caption, this)
                                                   : new QPushButton(caption, this);
        // Enter is routed by the dialog, not by the toolkit's default-button logic.
        button->setAutoDefault(false);
        if (row.kind == ControlKind::DefPushButton)
            button->setDefault(true);
        connect(button, &QAbstractButton::clicked, this, [this, id = row.id] { sendCommand(id); });
        widget = button;
        break;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(caption, this);
        connect(box, &QAbstractButton::clicked, this, [this, id = row.id] { sendCommand(id); });
        widget = box;
        break;
    }
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(caption, this);
        // Template order: a group begins at CS_GROUP or after any row that is no radio button.
        const bool startsGroup = (row.style & CS_GROUP) || m_items.empty() ||
                                 m_items.back().row->kind != ControlKind::RadioButton;
        if (startsGroup || m_radioGroup == nullptr)
            m_radioGroup = new QButtonGroup(this);
        m_radioGroup->addButton(radio);
        connect(radio, &QAbstractButton::clicked, this, [this, id = row.id] { sendCommand(id); });
        widget = radio;
        break;
    }
    case ControlKind::DropDownList: {
        auto* combo = new QComboBox(this);
        combo->setEditable(false);
        // Only the learner's choice notifies, as with a list's selection set by the code.
        connect(combo, &QComboBox::activated, this,
                [this, id = row.id] { sendCommand(id, CBN_SELCHANGE); });
        widget = combo;
        break;
    }
    case ControlKind::Label: {
        auto* label = new QLabel(this);
        // Never rich text: a word may hold '<'.
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setWordWrap(true);
        label->setText(caption);
        if (row.style & CS_STATICEDGE)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        widget = label;
        break;
    }
    case ControlKind::Edit: {
        auto* edit = new QLineEdit(caption, this);
        edit->setReadOnly((row.style & CS_READONLY) != 0);
        // Only the learner's typing notifies, so that setting a text never loops back.
        connect(edit, &QLineEdit::textEdited, this,
                [this, id = row.id] { sendCommand(id, EN_CHANGE); });
        widget = edit;
        break;
    }
    case ControlKind::ListBox: {
        auto* list = new QListWidget(this);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setUniformItemSizes(true); // long result lists stay fast to fill
        connect(list, &QListWidget::itemDoubleClicked, this,
                [this, id = row.id] { sendCommand(id, LBN_DBLCLK); });
        connect(list, &QListWidget::currentRowChanged, this,
                [this, id = row.id] { sendCommand(id, LBN_SELCHANGE); });
        widget = list;
        break;
    }
    case ControlKind::Table: {
        auto* table = new QTableWidget(this);
        table->setEditTriggers(QAbstractItemView::NoEditTriggers);
        table->setSelectionMode(QAbstractItemView::SingleSelection);
        table->setSelectionBehavior(QAbstractItemView::SelectItems);
        // Tab leaves the table for the next control, as everywhere in a dialog.
        table->setTabKeyNavigation(false);
        table->setWordWrap(false);
        // Rows as high as their text: a preview holds a few dozen at most.
        table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
        // A heading clicked moves to its column, in the row that was current.
        connect(table->horizontalHeader(), &QHeaderView::sectionClicked, table,
                [table](int column) {
                    if (table->rowCount() > 0)
                        table->setCurrentCell(std::max(table->currentRow(), 0), column);
                });
        connect(table, &QTableWidget::currentCellChanged, this,
                [this, id = row.id](int, int column, int, int previousColumn) {
                    if (column != previousColumn)
                        sendCommand(id, TBLN_COLCHANGE);
                });
        widget = table;
        break;
    }
    case ControlKind::Icon: {
        auto* label = new QLabel(this);
        label->setPixmap(IconPixmap(row.iconId));
        widget = label;
        break;
    }
    }
    widget->setObjectName(row.id == IDC_STATIC ? QString() : QString::number(row.id));
    const bool focusable = row.kind != ControlKind::Label && row.kind != ControlKind::Icon;
    if (!focusable)
        widget->setFocusPolicy(Qt::NoFocus);
    else
        widget->setFocusPolicy((row.style & CS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    if (row.style & CS_HIDDEN)
        widget->setVisible(false);
    widget->installEventFilter(this);
    return widget;
}

QWidget* DialogWindow::control(int id) const {
    for (const Item& item : m_items) {
        if (item.row->id == id)
            return item.widget;
    }
    return nullptr;
}

void DialogWindow::focusFirstTabStop() {
    for (const Item& item : m_items) {
        if ((item.row->style & CS_TABSTOP) && !item.widget->isHidden() &&
            item.widget->isEnabled()) {
            item.widget->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

QWidget* DialogWindow::nextTabStop(std::size_t index, bool visibleOnly) const {
    const std::size_t count = m_items.size();
    for (std::size_t step = 1; step < count; ++step) {
        const Item& item = m_items[(index + step) % count];
        if ((item.row->style & CS_TABSTOP) && item.widget->isEnabled() &&
            (!visibleOnly || !item.widget->isHidden()))
            return item.widget;
    }
    return nullptr;
}

void DialogWindow::end(int code) {
    m_ended = true;
    QDialog::done(code);
}

void DialogWindow::resetSystemMenu() {
    m_systemMenu->clear();
    QAction* minimize = m_systemMenu->addAction(QStringLiteral("Mi&nimize"));
    minimize->setData(QVariant::fromValue<qulonglong>(SC_MINIMIZE));
    minimize->setEnabled(m_hasMinimizeBox);
    QAction* close = m_systemMenu->addAction(QStringLiteral("&Close\tAlt+F4"));
    close->setData(QVariant::fromValue<qulonglong>(SC_CLOSE));
}

void DialogWindow::popUpSystemMenu(const QPoint& globalPos) {
    m_systemMenu->popup(globalPos);
}

HICON DialogWindow::setIcon(WPARAM kind, HICON icon) {
    HICON& slot = kind == ICON_BIG ? m_bigIcon : m_smallIcon;
    const HICON previous = slot;
    slot = icon;
    QIcon combined;
    if (m_bigIcon != nullptr)
        combined.addPixmap(m_bigIcon->pixmap(32));
    if (m_smallIcon != nullptr)
        combined.addPixmap(m_smallIcon->pixmap(16));
    setWindowIcon(combined);
    return previous;
}

void DialogWindow::defaultPaint() {
    if (m_paintEvent != nullptr)
        QDialog::paintEvent(m_paintEvent);
}

void DialogWindow::sendCommand(int id, UINT code) {
    SendToDialog(WM_COMMAND, MAKEWPARAM(static_cast<UINT>(id), code));
}

void DialogWindow::reopen() {
    m_ended = false;
    setResult(0);
}

namespace {

QKeySequence PortableKeys(const char* text) {
    return text ? QKeySequence(QString::fromLatin1(text), QKeySequence::PortableText)
                : QKeySequence();
}

// One action per item; a title row starts the drop-down its items go into.
void AddMenuItems(const MenuTemplate& menu, QMenuBar* bar, QMenu* popup, QWidget* shortcutOwner) {
    QMenu* current = popup;
    for (const MenuItemTemplate& item : menu.items) {
        if (item.kind == MenuItemTemplate::Title) {
            if (bar != nullptr)
                current = bar->addMenu(QString::fromUtf8(item.text));
            continue;
        }
        if (current == nullptr)
            continue;
        if (item.kind == MenuItemTemplate::Separator) {
            current->addSeparator();
            continue;
        }
        QAction* action = current->addAction(QString::fromUtf8(item.text));
        action->setData(QVariant::fromValue<qulonglong>(item.id));
        QList<QKeySequence> keys;
        for (const char* shortcut : {item.shortcut, item.shortcut2}) {
            if (shortcut != nullptr)
                keys.append(PortableKeys(shortcut));
        }
        if (!keys.isEmpty() && shortcutOwner != nullptr) {
            action->setShortcuts(keys);
            action->setShortcutContext(Qt::WindowShortcut);
            shortcutOwner->addAction(action); // keys work while the drop-down is closed
        }
    }
}

} // namespace

QMenuBar* DialogWindow::setMenuBar(const MenuTemplate& menu) {
    if (m_menuBar != nullptr)
        return m_menuBar;
    m_menuBar = new QMenuBar(this);
    AddMenuItems(menu, m_menuBar, nullptr, this);
    connect(m_menuBar, &QMenuBar::triggered, this, [this](QAction* action) {
        sendCommand(static_cast<int>(action->data().toULongLong()));
    });
    scaleMenus();
    // Commands from shortcuts arrive through the same actions, so this covers both.
    m_clientTop = m_menuBar->sizeHint().height();
    layOut();
    m_menuBar->show();
    return m_menuBar;
}

UINT DialogWindow::trackPopupMenu(const MenuTemplate& menu, const QPoint& globalPos) {
    QMenu popup(this);
    if (Zoom::Percent() != Zoom::kDefault)
        popup.setFont(Zoom::Scaled(QApplication::font(&popup)));
    AddMenuItems(menu, nullptr, &popup, nullptr);
    QAction* chosen = popup.exec(globalPos);
    return chosen ? static_cast<UINT>(chosen->data().toULongLong()) : 0u;
}

void DialogWindow::setTimer(UINT id, int ms) {
    killTimer(id);
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this, id] {
        if (!m_ended)
            SendToDialog(WM_TIMER, id);
    });
    timer->start(ms);
    m_timers.emplace_back(id, timer);
}

void DialogWindow::killTimer(UINT id) {
    for (auto it = m_timers.begin(); it != m_timers.end(); ++it) {
        if (it->first == id) {
            delete it->second;
            m_timers.erase(it);
            return;
        }
    }
}

void DialogWindow::accept() {
    sendCommand(IDOK);
}

void DialogWindow::reject() {
    sendCommand(IDCANCEL);
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    // The frame's close goes through the dialog's WM_CLOSE, which decides what happens.
    event->ignore();
    if (!m_ended)
        SendToDialog(WM_CLOSE);
}

void DialogWindow::paintEvent(QPaintEvent* event) {
    m_paintEvent = event;
    SendToDialog(WM_PAINT);
    m_paintEvent = nullptr;
    if (!m_painted) {
        m_painted = true;
        runWhenShown();
        // Only a shown window has its frame: one that came up too large for the screen with it
        // lowers the zoom once more.
        if (Zoom::Percent() > largestZoom())
            QTimer::singleShot(0, this, [this] { rescale(); });
    }
}

void DialogWindow::whenShown(std::function<void()> call) {
    if (!m_painted && m_whenShown.empty())
        QTimer::singleShot(2000, this, [this] { runWhenShown(); });
    m_whenShown.push_back(std::move(call));
    if (m_painted)
        runWhenShown();
}

void DialogWindow::runWhenShown() {
    for (std::function<void()>& call : std::exchange(m_whenShown, {}))
        QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    // Reaches the dialog only from its background and from controls without a menu of their
    // own; the dialog decides, and by default shows the system menu.
    int id = 0;
    if (QWidget* child = childAt(event->pos())) {
        for (const Item& item : m_items) {
            if (item.widget == child && item.row->id != IDC_STATIC)
                id = item.row->id;
        }
    }
    SendToDialog(WM_CONTEXTMENU, static_cast<WPARAM>(id),
                 MAKELPARAM(event->globalPos().x(), event->globalPos().y()));
    event->accept();
}
