// The options window's "Watch" page: what keeps the program watching when no
// one looks after it (a camera that comes back, pictures that must not fill
// the disk), and the alarm log lines of those events.
#include "TFormOptions.h"

#include "EIlxError.h"
#include "OptionsSettings.h"
#include "OptionsWidgets.h"
#include "TAlarmLog.h"
#include "TDlgIgnoreAreas.h"
#include "TSessionStart.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

using namespace OptionsWidgets;

namespace {

constexpr int kMaxKeepDays = 36500;
constexpr int kMaxKeepMB = 100000000;
// Between the page's groups of settings: the page has the options window's
// fixed height to share among them.
constexpr int kGroupSpacing = 8;

} // namespace

QWidget* TFormOptions::BuildWatchPage()
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetWatch"));
    setHelp(page, -42000);
    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(10, 8, 10, 6);
    column->setSpacing(2);

    CheckBoxSession = makeCheck("CheckBoxSession", QStringLiteral("Start with my &session"), page);
    setHint(CheckBoxSession,
            QStringLiteral("Start the program when you log in; minimised when \"Start scan "
                           "after\" is checked"));
    setHelp(CheckBoxSession, 42080);
    column->addWidget(CheckBoxSession);
    column->addSpacing(kGroupSpacing);

    CheckBoxReconnect = makeCheck("CheckBoxReconnect",
                                  QStringLiteral("&Reconnect the camera when it comes back"), page);
    setHint(CheckBoxReconnect, QStringLiteral("Try the lost camera again every 5 seconds"));
    setHelp(CheckBoxReconnect, 42010);
    column->addWidget(CheckBoxReconnect);
    column->addSpacing(kGroupSpacing);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    SpinEditKeepDays = makeSpin("SpinEditKeepDays", 0, kMaxKeepDays, page);
    setHint(SpinEditKeepDays, QStringLiteral("Older pictures are deleted; 0 keeps them all"));
    setHelp(SpinEditKeepDays, 42020);
    grid->addWidget(makeLabel(QStringLiteral("&Keep pictures at most"), SpinEditKeepDays, page), 0,
                    0);
    grid->addWidget(SpinEditKeepDays, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("days (0: no limit)"), page), 0, 2);

    SpinEditKeepMB = makeSpin("SpinEditKeepMB", 0, kMaxKeepMB, page);
    setHint(SpinEditKeepMB,
            QStringLiteral("The oldest pictures are deleted past this size; 0 keeps them all"));
    setHelp(SpinEditKeepMB, 42030);
    grid->addWidget(makeLabel(QStringLiteral("Keep at &most"), SpinEditKeepMB, page), 1, 0);
    grid->addWidget(SpinEditKeepMB, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("MB of pictures (0: no limit)"), page), 1, 2);
    grid->setColumnStretch(3, 1);
    column->addLayout(grid);
    column->addSpacing(kGroupSpacing);

    CheckBoxIgnoreLight =
        makeCheck("CheckBoxIgnoreLight", QStringLiteral("&Ignore light changes"), page);
    setHint(CheckBoxIgnoreLight,
            QStringLiteral("A change of the whole picture's light (a lamp, the sun, the camera's "
                           "exposure) is not a detection"));
    setHelp(CheckBoxIgnoreLight, 42040);
    column->addWidget(CheckBoxIgnoreLight);
    column->addSpacing(kGroupSpacing);

    // The areas left out, painted over the camera's picture in a dialog of
    // their own (the page has no room for the picture).
    auto* areas = new QHBoxLayout;
    areas->setSpacing(6);
    BitBtnIgnoreAreas = new QPushButton(QStringLiteral("Areas to i&gnore..."), page);
    BitBtnIgnoreAreas->setObjectName(QStringLiteral("BitBtnIgnoreAreas"));
    setHint(BitBtnIgnoreAreas,
            QStringLiteral("Parts of the picture that are never compared (a tree, a screen, "
                           "a road)"));
    setHelp(BitBtnIgnoreAreas, 42070);
    areas->addWidget(BitBtnIgnoreAreas);
    LabelIgnoreAreas = new QLabel(page);
    LabelIgnoreAreas->setObjectName(QStringLiteral("LabelIgnoreAreas"));
    areas->addWidget(LabelIgnoreAreas, 1);
    column->addLayout(areas);
    column->addSpacing(kGroupSpacing);
    connect(BitBtnIgnoreAreas, &QPushButton::clicked, this, [this] {
        TDlgIgnoreAreas dialog(ignoreAreas_, LivePicture, this);
        if (dialog.exec() != QDialog::Accepted || dialog.Areas() == ignoreAreas_)
            return;
        setIgnoreAreas(dialog.Areas());
        AControlChange();
    });

    CheckBoxNotify = makeCheck(
        "CheckBoxNotify", QStringLiteral("&Notify the desktop on detection while minimised"), page);
    setHint(CheckBoxNotify,
            QStringLiteral("While the window is minimised, the first detection after a quiet "
                           "minute shows a desktop notification"));
    setHelp(CheckBoxNotify, 42050);
    column->addWidget(CheckBoxNotify);
    column->addSpacing(kGroupSpacing);

    CheckBoxClip =
        makeCheck("CheckBoxClip", QStringLiteral("Record a &video clip of each event"), page);
    setHint(CheckBoxClip,
            QStringLiteral("Each event also leaves a video beside its first picture, from a few "
                           "seconds before the first detection"));
    setHelp(CheckBoxClip, 42060);
    column->addWidget(CheckBoxClip);
    auto* clipGrid = new QGridLayout;
    clipGrid->setHorizontalSpacing(6);
    clipGrid->setVerticalSpacing(4);
    clipGrid->setContentsMargins(20, 0, 0, 0);
    SpinEditClipBefore = makeSpin("SpinEditClipBefore", 0, 10, page);
    setHint(SpinEditClipBefore,
            QStringLiteral("Seconds of video kept from before the first detection"));
    setHelp(SpinEditClipBefore, 42060);
    clipGrid->addWidget(SpinEditClipBefore, 0, 0);
    clipGrid->addWidget(makeLabel(QStringLiteral("seconds &before"), SpinEditClipBefore, page), 0,
                        1);
    SpinEditClipAfter = makeSpin("SpinEditClipAfter", 1, 60, page);
    setHint(SpinEditClipAfter, QStringLiteral("The event, and its clip, ends this long after the "
                                              "last detection; a detection meanwhile extends it"));
    setHelp(SpinEditClipAfter, 42060);
    clipGrid->addWidget(SpinEditClipAfter, 1, 0);
    clipGrid->addWidget(
        makeLabel(QStringLiteral("seconds a&fter the last detection"), SpinEditClipAfter, page), 1,
        1);
    clipGrid->setColumnStretch(2, 1);
    column->addLayout(clipGrid);
    column->addStretch(1);
    const auto clipLengths = [this](bool on) {
        SpinEditClipBefore->setEnabled(on);
        SpinEditClipAfter->setEnabled(on);
    };
    connect(CheckBoxClip, &QCheckBox::toggled, this, clipLengths);
    clipLengths(false);

    connect(CheckBoxSession, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    connect(CheckBoxReconnect, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    connect(SpinEditKeepDays, &QSpinBox::valueChanged, this, &TFormOptions::AControlChange);
    connect(SpinEditKeepMB, &QSpinBox::valueChanged, this, &TFormOptions::AControlChange);
    connect(CheckBoxIgnoreLight, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    connect(CheckBoxNotify, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    connect(CheckBoxClip, &QCheckBox::toggled, this, &TFormOptions::AControlChange);
    connect(SpinEditClipBefore, &QSpinBox::valueChanged, this, &TFormOptions::AControlChange);
    connect(SpinEditClipAfter, &QSpinBox::valueChanged, this, &TFormOptions::AControlChange);
    return page;
}

void TFormOptions::LoadWatchPage(const TOptionsSettings& s)
{
    // The entry is read back each time: the desktop's settings, or the user
    // by hand, may have removed it since.
    CheckBoxSession->setChecked(TSessionStart::ForThisCopy().IsOn());
    CheckBoxReconnect->setChecked(s.Reconnect);
    SpinEditKeepDays->setValue(std::clamp(s.KeepDays, 0, kMaxKeepDays));
    SpinEditKeepMB->setValue(std::clamp(s.KeepMB, 0, kMaxKeepMB));
    CheckBoxIgnoreLight->setChecked(s.IgnoreLight);
    setIgnoreAreas(s.IgnoreAreas);
    CheckBoxNotify->setChecked(s.Notify);
    CheckBoxClip->setChecked(s.Clip);
    SpinEditClipBefore->setValue(s.ClipBefore);
    SpinEditClipAfter->setValue(s.ClipAfter);
}

void TFormOptions::SaveWatchPage(TOptionsSettings& s) const
{
    s.Reconnect = CheckBoxReconnect->isChecked();
    s.KeepDays = SpinEditKeepDays->value();
    s.KeepMB = SpinEditKeepMB->value();
    s.IgnoreLight = CheckBoxIgnoreLight->isChecked();
    s.IgnoreAreas = ignoreAreas_;
    s.Notify = CheckBoxNotify->isChecked();
    s.Clip = CheckBoxClip->isChecked();
    s.ClipBefore = SpinEditClipBefore->value();
    s.ClipAfter = SpinEditClipAfter->value();
}

void TFormOptions::SaveSessionStart() const
{
    const TSessionStart entry = TSessionStart::ForThisCopy();
    const bool on = CheckBoxSession->isChecked();
    if (entry.IsOn() == on)
        return;
    QString why;
    if (!entry.SetOn(on, &why))
        throw EIlxError(QStringLiteral("The program cannot %1 the start with your session.\n%2")
                            .arg(on ? QStringLiteral("set up") : QStringLiteral("remove"), why));
}

void TFormOptions::setIgnoreAreas(const ::IgnoreMask& areas)
{
    ignoreAreas_ = areas;
    LabelIgnoreAreas->setText(areas.empty()
                                  ? QStringLiteral("none")
                                  : QStringLiteral("%1 of %2 parts")
                                        .arg(areas.count())
                                        .arg(::IgnoreMask::kColumns * ::IgnoreMask::kRows));
}

void TFormOptions::LogEvent(const QString& line)
{
    if (!CheckBoxLogFile->isChecked())
        return;
    // The log serialises this with a running sound's own lines, so the line
    // is written now; a log that cannot be written is no reason to stop
    // watching the camera.
    alarmLog_->AppendEvent(line);
}
