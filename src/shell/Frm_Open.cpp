#include "shell/Frm_Open.h"

#include "shell/ShellArt.h"
#include "widgets/Constants.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kSplashMilliseconds = 3000;
} // namespace

Frm_Open::Frm_Open(std::function<bool()> showFrame, QWidget *parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), m_showFrame(std::move(showFrame))
{
    setObjectName(QStringLiteral("Frm_Open"));
    setWindowTitle(QStringLiteral("Vellumar"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#Frm_Open { background: #fbf5e6; border: 1px solid #7a5c2e; }"));

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(ShellArt::emblem(168, devicePixelRatioF()));

    auto *title = new QLabel(QStringLiteral("Vellumar"), this);
    title->setObjectName(QStringLiteral("lblProductName"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2.6);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: #4a2f12;"));

    auto *tagline = new QLabel(QStringLiteral("Spells and Spellbooks"), this);
    tagline->setStyleSheet(QStringLiteral("color: #6b5434;"));

    m_lblVersion = new QLabel(QStringLiteral("Version ") + Constants::versionNumber(), this);
    m_lblVersion->setObjectName(QStringLiteral("lblVersion"));
    m_lblVersion->setStyleSheet(QStringLiteral("color: #6b5434;"));

    auto *words = new QVBoxLayout;
    words->addStretch();
    words->addWidget(title);
    words->addWidget(tagline);
    words->addSpacing(18);
    words->addWidget(m_lblVersion);
    words->addStretch();

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(28, 24, 36, 24);
    layout->setSpacing(28);
    layout->addWidget(picture);
    layout->addLayout(words);

    m_timer1 = new QTimer(this);
    m_timer1->setObjectName(QStringLiteral("Timer1"));
    m_timer1->setSingleShot(true);
    m_timer1->setInterval(kSplashMilliseconds);
    connect(m_timer1, &QTimer::timeout, this, &Frm_Open::Timer1_Timer);

    m_busy.emplace();
    m_timer1->start();

    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

Frm_Open::~Frm_Open() = default;

void Frm_Open::Timer1_Timer()
{
    m_timer1->stop();
    m_busy.reset();
    // Out of the way first: a window manager keeps a splash on top, where it would hide the
    // message of a library that cannot be opened.
    hide();
    if (m_showFrame && m_showFrame()) {
        close();
        return;
    }
    // The splash stays until the event loop ends, so that closing it cannot overwrite the
    // exit code with a normal quit.
    QCoreApplication::exit(1);
}
