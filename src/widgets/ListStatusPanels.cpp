#include "widgets/ListStatusPanels.h"

#include <QLabel>
#include <QStatusBar>
#include <QTimer>

namespace {
constexpr int kTransientMilliseconds = 5000;

// A count keeps a steady width where there is room; in a window made small it gives way, cut off
// rather than holding the window wide.
class CountPanel : public QLabel
{
public:
    using QLabel::QLabel;
    QSize sizeHint() const override { return QLabel::sizeHint().expandedTo(QSize(120, 0)); }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
};

} // namespace

ListStatusPanels::ListStatusPanels(QStatusBar *bar, QWidget *window) : QObject(window)
{
    for (int index = 0; index < 3; ++index) {
        m_panels[index] = index < 2 ? new CountPanel(bar) : new QLabel(bar);
        m_panels[index]->setObjectName(QStringLiteral("Panel%1").arg(index + 1));
        m_panels[index]->setTextFormat(Qt::PlainText); // spell and book names, shown as typed
        bar->addWidget(m_panels[index], index < 2 ? 0 : 1);
    }
    m_panels[2]->hide();

    m_timer = new QTimer(window);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setInterval(kTransientMilliseconds);
    connect(m_timer, &QTimer::timeout, this, &ListStatusPanels::clearTransient);
}

void ListStatusPanels::showCounts(int listed, int selected)
{
    m_panels[0]->setText(QString::number(listed) + QStringLiteral(" spells listed"));
    showSelected(selected);
}

void ListStatusPanels::showSelected(int selected)
{
    m_panels[1]->setText(QString::number(selected) + QStringLiteral(" spells selected"));
}

void ListStatusPanels::showTransient(const QString &text)
{
    m_panels[2]->setText(text);
    m_panels[2]->show();
    m_timer->start();
}

void ListStatusPanels::clearTransient()
{
    m_timer->stop();
    m_panels[2]->clear();
    m_panels[2]->hide();
}

QLabel *ListStatusPanels::panel(int number) const
{
    return m_panels[qBound(1, number, 3) - 1];
}
