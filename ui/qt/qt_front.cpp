#include "ui/qt/qt_front.h"

#include "ui/qt/qt_widgets.h"
#include "ui/qt/window_title.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QScreen>
#include <QTabBar>

namespace ui::qt {

namespace {

// Edit and combo boxes are white with black text, read-only previews included.
void MakeWhite(QWidget* w) {
    QPalette palette = w->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    w->setPalette(palette);
}

ConsoleLogBox* MakeLogBox(QWidget* parent) {
    auto* log = new ConsoleLogBox(parent);
    log->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    log->setTabChangesFocus(true); // Tab moves on, as in every other box of the window
    // Hex text needs no shaping or kerning, and skipping them makes appends several times
    // cheaper.
    QFont font = log->font();
    font.setStyleStrategy(QFont::PreferNoShaping);
    font.setKerning(false);
    log->setFont(font);
    MakeWhite(log);
    return log;
}

} // namespace

QtFront::QtFront() = default;
QtFront::~QtFront() = default;

QWidget* QtFront::Parent(Container container) const {
    switch (container) {
    case Container::Group:
        return group_box_;
    case Container::Page0:
    case Container::Page1:
        // Page controls are placed from the tab control's outer corner, over its pages,
        // and shown or hidden with their page.
        return tabs_;
    case Container::Window:
        break;
    }
    return window_.get();
}

void QtFront::BuildWindow(const WindowLayout& definition) {
    // Captions are laid out for an 11-pixel dialog font, as the controls' sizes expect.
    QFont font = QApplication::font();
    font.setPixelSize(11);
    QApplication::setFont(font);

    window_ = std::make_unique<QWidget>(
        nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                     Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                     Qt::WindowCloseButtonHint);
    window_->setWindowTitle(QString::fromStdString(definition.caption));
    outer_size_ = QSize(definition.outer_width, definition.outer_height);
    window_->setFixedSize(outer_size_);

    for (const auto& def : definition.controls) {
        QWidget* parent = Parent(def.container);
        const QString caption = QString::fromStdString(def.caption);
        QObject* object = nullptr;
        QWidget* widget = nullptr;
        switch (def.kind) {
        case Kind::GroupBox:
            widget = group_box_ = new QGroupBox(caption, parent);
            break;
        case Kind::TabControl: {
            tabs_ = new QTabWidget(parent);
            for (const auto& title : definition.page_titles) {
                tabs_->addTab(new QWidget, QString::fromStdString(title));
            }
            tabs_->tabBar()->setFocusPolicy(Qt::NoFocus);
            QObject::connect(tabs_, &QTabWidget::currentChanged,
                             [this](int page) { ShowPage(page); });
            widget = tabs_;
            break;
        }
        case Kind::LogBox: {
            auto* log = MakeLogBox(parent);
            edit_boxes_[def.name] = std::make_unique<QtLogEdit>(log);
            widget = log;
            break;
        }
        case Kind::PreviewBox: {
            auto* edit = new QLineEdit(parent);
            edit->setReadOnly(true);
            MakeWhite(edit);
            edit_boxes_[def.name] = std::make_unique<QtLineEdit>(edit);
            widget = edit;
            break;
        }
        case Kind::Label:
            widget = new QLabel(caption, parent);
            break;
        case Kind::PushButton: {
            auto* button = new WrappingButton(caption, parent);
            button->setAutoDefault(false);
            buttons_[def.name] = std::make_unique<QtPushButton>(button);
            widget = button;
            break;
        }
        case Kind::CheckBox: {
            auto* box = new QCheckBox(parent);
            check_boxes_[def.name] = std::make_unique<QtCheckBox>(box);
            widget = box;
            break;
        }
        case Kind::RadioButton: {
            auto* radio = new QRadioButton(caption, parent);
            // Qt would group every radio button below the window with 汉化; each container
            // has a group of its own.
            auto& group = radio_groups_[def.container];
            if (group == nullptr) {
                group = new QButtonGroup(window_.get());
            }
            group->addButton(radio);
            radio->setChecked(def.checked);
            radio_buttons_[def.name] = std::make_unique<QtRadioButton>(radio);
            widget = radio;
            break;
        }
        case Kind::ComboBox: {
            auto* combo = new ConsoleComboBox(definition.combo_open_height, parent);
            MakeWhite(combo);
            combo_boxes_[def.name] = std::make_unique<QtComboBox>(combo);
            widget = combo;
            break;
        }
        case Kind::Timer: {
            auto* timer = new QTimer(window_.get());
            timers_[def.name] = std::make_unique<QtTimer>(timer);
            object = timer;
            break;
        }
        }
        if (widget != nullptr) {
            widget->setGeometry(def.left, def.top, def.width, def.height);
            widget->raise();
            object = widget;
        }
        object->setObjectName(QString::fromStdString(def.name));
        objects_[def.name] = object;
        containers_[def.name] = def.container;
    }
    ShowPage(0);
}

void QtFront::ShowPage(int page) {
    const Container shown = page == 0 ? Container::Page0 : Container::Page1;
    for (const auto& [name, container] : containers_) {
        if (container == Container::Page0 || container == Container::Page1) {
            static_cast<QWidget*>(objects_.at(name))->setVisible(container == shown);
        }
    }
}

void QtFront::Connect(const ControlDef& control, std::function<void()> handler) {
    QObject* object = objects_.at(control.name);
    switch (control.event) {
    case Event::Clicked:
        QObject::connect(static_cast<QAbstractButton*>(object), &QAbstractButton::clicked,
                         [handler] { handler(); });
        break;
    case Event::ListItemSelected:
        QObject::connect(static_cast<QComboBox*>(object), &QComboBox::activated,
                         [handler] { handler(); });
        break;
    case Event::ListWillPopUp:
        static_cast<ConsoleComboBox*>(object)->beforePopup = handler;
        break;
    case Event::Periodic:
        QObject::connect(static_cast<QTimer*>(object), &QTimer::timeout, [handler] { handler(); });
        break;
    case Event::None:
        break;
    }
}

void QtFront::Show() {
    window_->show();
    // The window manager's frame counts in the outer size: shrink the client area by it.
    QApplication::processEvents();
    const QSize frame = window_->frameGeometry().size() - window_->size();
    if (!frame.isEmpty()) {
        window_->setFixedSize(outer_size_ - frame);
    }
    if (const QScreen* screen = window_->screen()) {
        const QRect outer(QPoint(), outer_size_);
        window_->move(screen->availableGeometry().center() - outer.center());
    }
    ClearWindowTitle(window_.get());
}

int QtFront::Run() {
    return QApplication::exec();
}

controls::PushButton& QtFront::PushButton(const std::string& name) {
    return *buttons_.at(name);
}
controls::CheckBox& QtFront::CheckBox(const std::string& name) {
    return *check_boxes_.at(name);
}
controls::RadioButton& QtFront::RadioButton(const std::string& name) {
    return *radio_buttons_.at(name);
}
controls::ComboBox& QtFront::ComboBox(const std::string& name) {
    return *combo_boxes_.at(name);
}
controls::EditBox& QtFront::EditBox(const std::string& name) {
    return *edit_boxes_.at(name);
}
controls::Timer& QtFront::Timer(const std::string& name) {
    return *timers_.at(name);
}

} // namespace ui::qt
