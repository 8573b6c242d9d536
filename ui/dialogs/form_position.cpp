#include "form_position.h"

#include "config_settings.h"
#include "config_store.h"
#include "text_convert.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace quorvil {

namespace {

QSize ScreenSize()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

std::string WindowName(const QWidget& form, const QString& name)
{
    // Object names are ASCII.
    return (name.isEmpty() ? form.objectName() : name).toStdString();
}

bool Sizeable(const QWidget& form)
{
    return form.minimumSize() != form.maximumSize();
}

// The window manager's frame around the client area: known once the window
// has been shown, before that what a title bar and thin borders take.
QMargins FrameMargins(const QWidget& form)
{
    const QRect frame = form.frameGeometry();
    const QRect client = form.geometry();
    if (frame != client)
        return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
                frame.bottom() - client.bottom()};
    constexpr int kBorder = 4;
    return {kBorder, form.style()->pixelMetric(QStyle::PM_TitleBarHeight) + kBorder, kBorder, kBorder};
}

// The screen showing most of `frame`, else the primary one.
QScreen* ScreenOf(const QRect& frame)
{
    QScreen* best = QGuiApplication::primaryScreen();
    qint64 bestArea = 0;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect common = screen->geometry().intersected(frame);
        const qint64 area = qint64(common.width()) * common.height();
        if (area > bestArea) {
            best = screen;
            bestArea = area;
        }
    }
    return best;
}

int ClampStart(int start, int length, int areaStart, int areaLength)
{
    return std::clamp(start, areaStart, std::max(areaStart, areaStart + areaLength - length));
}

}  // namespace

std::string CurrentScreenSection()
{
    const QSize size = ScreenSize();
    return ScreenSection(size.width(), size.height());
}

std::string FormPositionText(const QWidget& form)
{
    // A maximised window keeps its normal placement for the next start.
    const QRect normal = form.isMaximized() || form.isMinimized() ? form.normalGeometry() : form.geometry();
    const QPoint origin = form.isMaximized() || form.isMinimized() ? normal.topLeft() : form.pos();
    const WindowState state = form.isMaximized()   ? WindowState::Maximized
                              : form.isMinimized() ? WindowState::Minimized
                                                   : WindowState::Normal;
    return PositionText(origin.x(), origin.y(), normal.width(), normal.height(), state);
}

void KeepOnScreen(QWidget& form, bool centre)
{
    const QMargins margins = FrameMargins(form);
    QScreen* screen = ScreenOf(QRect(form.pos(), form.size().grownBy(margins)));
    if (!screen)
        return;
    // Device-independent pixels, like the window's own size, at any scale.
    const QRect area = screen->availableGeometry();
    const QSize room = area.size().shrunkBy(margins);
    if (form.width() > room.width() || form.height() > room.height())
        form.resize(form.size().boundedTo(room).expandedTo(form.minimumSize()));
    const QSize outer = form.size().grownBy(margins);
    QPoint origin = form.pos();
    if (centre) {
        const auto [left, top] = CentredOrigin(area.width(), area.height(), outer.width(), outer.height());
        origin = area.topLeft() + QPoint(left, top);
    }
    form.move(ClampStart(origin.x(), outer.width(), area.left(), area.width()),
              ClampStart(origin.y(), outer.height(), area.top(), area.height()));
}

void ApplyPositionText(QWidget& form, const std::string& text)
{
    const PositionRequest request = ParsePositionText(text);
    switch (request.action) {
    case PositionRequest::Action::Unchanged: KeepOnScreen(form, false); return;
    case PositionRequest::Action::Centre: KeepOnScreen(form, true); return;
    case PositionRequest::Action::Place:
        form.move(request.left, request.top);
        if (Sizeable(form) && request.width > 0 && request.height > 0)
            form.resize(request.width, request.height);
        KeepOnScreen(form, false);
        if (request.state == WindowState::Maximized)
            form.setWindowState(form.windowState() | Qt::WindowMaximized);
        else if (request.state == WindowState::Minimized)
            form.setWindowState(form.windowState() | Qt::WindowMinimized);
        return;
    }
}

void LoadFormPosition(const TIniFile& ini, QWidget& form, const QString& name)
{
    ApplyPositionText(form, ReadWindowPosition(ini, WindowName(form, name), CurrentScreenSection()));
}

void LoadFormPosition(QWidget& form, const QString& name)
{
    LoadFormPosition(*OpenConfig(), form, name);
}

void SaveFormPosition(TIniFile& ini, const QWidget& form, const QString& name)
{
    WriteText(ini, settings::WindowPosition, FormPositionText(form),
              {.Section = CurrentScreenSection(), .Key = WindowName(form, name)});
}

void SaveFormPosition(const QWidget& form, const QString& name)
{
    SaveFormPosition(*OpenConfig(), form, name);
}

}  // namespace quorvil
