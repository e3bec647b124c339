#include "shell/Frm_About.h"

#include "shell/ShellArt.h"
#include "widgets/Constants.h"
#include "widgets/Prompt.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const QString kMakerUrl = QStringLiteral("https://vellumar.example.org/");
const QString kPublisherUrl = QStringLiteral("https://kxr-games.example.com/");

QLabel *linkLabel(QWidget *parent, const QString &name, const QString &url)
{
    auto *label = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(url.toHtmlEscaped()), parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // A link that cannot be opened is ignored.
    QObject::connect(label, &QLabel::linkActivated, label,
                     [](const QString &link) { QDesktopServices::openUrl(QUrl(link)); });
    return label;
}

QLabel *textLabel(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    return label;
}

} // namespace

Frm_About::Frm_About(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Frm_About"));
    setWindowTitle(QStringLiteral("About Vellumar"));
    setModal(false);

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("Image1"));
    image->setPixmap(ShellArt::emblem(96, devicePixelRatioF()));
    image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    QLabel *title = textLabel(this, QStringLiteral("lblTitle"), QStringLiteral("Vellumar"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    title->setFont(titleFont);
    QLabel *version = textLabel(this, QStringLiteral("lblVersion"),
                                QStringLiteral("Version ") + Constants::versionNumber());
    QLabel *description = textLabel(
        this, QStringLiteral("lblDescription"),
        QStringLiteral(
            "Vellumar holds the descriptions of the published core spells of the game. Keep the spellbooks "
            "of player and non-player characters, add spells and schools of your own, and trade them "
            "with other players."));

    auto *links = new QGridLayout;
    links->addWidget(new QLabel(QStringLiteral("Visit"), this), 0, 0);
    links->addWidget(linkLabel(this, QStringLiteral("lblURLPC"), kMakerUrl), 0, 1);
    links->addWidget(new QLabel(QStringLiteral("on the Web"), this), 0, 2);
    links->addWidget(new QLabel(QStringLiteral("Visit"), this), 1, 0);
    links->addWidget(linkLabel(this, QStringLiteral("lblKXRUrl"), kPublisherUrl), 1, 1);
    links->addWidget(new QLabel(QStringLiteral("on the Web"), this), 1, 2);
    links->setColumnStretch(3, 1);

    QLabel *disclaimer = textLabel(
        this, QStringLiteral("lblDisclaimer"),
        QStringLiteral(
            "<b>Warning:</b> the spell descriptions are provided for personal use at the gaming table. "
            "This program is not an official product of the publisher of the game."));
    QFont smaller = disclaimer->font();
    smaller.setPointSizeF(smaller.pointSizeF() * 0.9);
    disclaimer->setFont(smaller);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *sysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    connect(ok, &QPushButton::clicked, this, &Frm_About::cmdOK_Click);
    connect(sysInfo, &QPushButton::clicked, this, &Frm_About::cmdSysInfo_Click);

    auto *text = new QVBoxLayout;
    text->addWidget(title);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(description);
    text->addSpacing(8);
    text->addLayout(links);
    text->addStretch();

    auto *top = new QHBoxLayout;
    top->setSpacing(18);
    top->addWidget(image);
    top->addLayout(text, 1);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(disclaimer, 1);
    bottom->addSpacing(12);
    bottom->addLayout(buttons);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addLayout(top);
    layout->addSpacing(10);
    layout->addLayout(bottom);

    setFixedWidth(520);
    adjustSize();
}

QStringList Frm_About::systemInfoTools()
{
    return {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor"), QStringLiteral("lshw-gtk")};
}

void Frm_About::cmdOK_Click()
{
    close();
}

void Frm_About::cmdSysInfo_Click()
{
    const QStringList tools = systemInfoTools();
    for (const QString &tool : tools) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty() && QProcess::startDetached(path, {}))
            return;
    }
    Prompt::message(this, QStringLiteral("System Information Is Unavailable At This Time"));
}
