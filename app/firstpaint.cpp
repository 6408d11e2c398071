// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/firstpaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <vector>

namespace wf {

namespace {

/** Waits for a window's first paint event, then queues the works behind the paint pass it
 *  starts, in the order they were given; lives as the window's child, so it goes with the
 *  window. */
class FirstPaintWatcher final : public QObject
{
public:
    explicit FirstPaintWatcher(QWidget *window)
        : QObject(window)
        , m_window(window)
    {
        window->installEventFilter(this);
    }

    /** The watcher of a window not painted yet, made at the first call. */
    static FirstPaintWatcher *of(QWidget *window)
    {
        for (QObject *child : window->children()) {
            auto *watcher = dynamic_cast<FirstPaintWatcher *>(child);
            if (watcher && !watcher->m_painted)
                return watcher;
        }
        return new FirstPaintWatcher(window);
    }

    void add(std::function<void()> work) { m_works.push_back(std::move(work)); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            m_window->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                for (const std::function<void()> &work : m_works)
                    work();
                deleteLater();
            });
        }
        return false;
    }

private:
    QWidget *m_window;
    std::vector<std::function<void()>> m_works;
    bool m_painted = false;
};

} // namespace

void afterFirstPaint(QWidget *window, std::function<void()> work)
{
    FirstPaintWatcher::of(window)->add(std::move(work));
}

void markWhenShown(QWidget *window)
{
    if (!qEnvironmentVariableIsSet(kStartupProbeVariable))
        return;
    const int lingerMs = qMax(0, qEnvironmentVariableIntValue(kStartupProbeVariable));
    afterFirstPaint(window, [window, lingerMs] {
        std::printf("shown %dx%d\n", window->width(), window->height());
        std::fflush(stdout);
        QTimer::singleShot(lingerMs, qApp, &QCoreApplication::quit);
    });
}

} // namespace wf
