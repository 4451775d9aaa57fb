#include "TFormView.h"

#include "Clock.h"
#include "EIlxError.h"
#include "JpegCodec.h"
#include "PictureName.h"
#include "ProductTexts.h"
#include "ShowMessageBox.h"
#include "TClipPlayer.h"
#include "TPictureBox.h"
#include "TPrintedPage.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScopeGuard>
#include <QScreen>
#include <QSlider>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kSlideShowMs = 750;
constexpr int kMinWidth = 320;
constexpr int kMinHeight = 220;
// The picture area's border around the picture, in pixels.
constexpr int kPictureMargin = 8;
// Help topic of the viewer when no control up the chain names one.
constexpr int kDefaultHelpContext = 6000;

QToolButton* makeButton(QWidget* parent, const char* name, const QString& hint,
                        QStyle::StandardPixmap icon, const QString& text = {})
{
    auto* button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setStatusTip(hint);
    button->setAutoRaise(true);
    if (text.isEmpty())
        button->setIcon(parent->style()->standardIcon(icon));
    else
        button->setText(text);
    return button;
}

QString clipStateText(TClipPlayer::TState state)
{
    switch (state) {
    case TClipPlayer::TState::Playing:
        return QStringLiteral("Video clip: playing");
    case TClipPlayer::TState::Paused:
        return QStringLiteral("Video clip: paused");
    case TClipPlayer::TState::Ended:
        return QStringLiteral("Video clip: end");
    case TClipPlayer::TState::Stopped:
        break;
    }
    return QStringLiteral("Video clip");
}

QFrame* makePanel(QWidget* parent, const char* name)
{
    auto* panel = new QFrame(parent);
    panel->setObjectName(QLatin1String(name));
    panel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return panel;
}

} // namespace

TFormView::TFormView(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormView"));
    setWindowTitle(QStringLiteral("View pictures catched"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, true);
    setSizeGripEnabled(false);
    // The third header line of a printed page, from the program's own texts.
    printNote_ = UnscrambledText(ProductText::PrintedBy) + QLatin1Char(' ') +
                 UnscrambledText(ProductText::PrintHeader) + QStringLiteral(" - ") +
                 UnscrambledText(ProductText::Copyright);
    CreateControls();
    setMinimumSize(kMinWidth, kMinHeight);
    if (const QScreen* s = screen())
        setMaximumSize(s->availableGeometry().size());
    resize(kMinWidth, kMinHeight);
    // Keys reach the window before its controls, as arrows and Ctrl shortcuts
    // must work whichever control has the focus.
    qApp->installEventFilter(this);
    UpdateControls();
}

TFormView::~TFormView()
{
    qApp->removeEventFilter(this);
}

void TFormView::CreateControls()
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    PanelTop = makePanel(this, "PanelTop");
    auto* top = new QVBoxLayout(PanelTop);
    top->setContentsMargins(4, 4, 4, 4);
    top->setSpacing(4);
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    RxSpeedButtonFirst =
        makeButton(PanelTop, "RxSpeedButtonFirst", "First picture", QStyle::SP_MediaSkipBackward);
    RxSpeedButtonPrevious = makeButton(PanelTop, "RxSpeedButtonPrevious", "Previous picture",
                                       QStyle::SP_MediaSeekBackward);
    EditIndex = new QLineEdit(PanelTop);
    EditIndex->setObjectName(QStringLiteral("EditIndex"));
    EditIndex->setStatusTip(QStringLiteral("Picture number"));
    EditIndex->setAlignment(Qt::AlignRight);
    EditIndex->setFixedWidth(EditIndex->fontMetrics().horizontalAdvance(QStringLiteral("000000")) +
                             12);
    LabelTotal = new QLabel(PanelTop);
    LabelTotal->setObjectName(QStringLiteral("LabelTotal"));
    LabelTotal->setStatusTip(QStringLiteral("Total pictures"));
    RxSpeedButtonNext =
        makeButton(PanelTop, "RxSpeedButtonNext", "Next picture", QStyle::SP_MediaSeekForward);
    RxSpeedButtonLast =
        makeButton(PanelTop, "RxSpeedButtonLast", "Last picture", QStyle::SP_MediaSkipForward);
    RxSpeedButtonPrint = makeButton(PanelTop, "RxSpeedButtonPrint", "Print", QStyle::SP_CustomBase,
                                    QStringLiteral("Print"));
    RxSpeedButtonCopy = makeButton(PanelTop, "RxSpeedButtonCopy", "Copy picture to the clipboard",
                                   QStyle::SP_CustomBase, QStringLiteral("Copy"));
    RxSpeedButtonDelete =
        makeButton(PanelTop, "RxSpeedButtonDelete", "Delete picture", QStyle::SP_TrashIcon);
    for (QWidget* w :
         {static_cast<QWidget*>(RxSpeedButtonFirst), static_cast<QWidget*>(RxSpeedButtonPrevious),
          static_cast<QWidget*>(EditIndex), static_cast<QWidget*>(LabelTotal),
          static_cast<QWidget*>(RxSpeedButtonNext), static_cast<QWidget*>(RxSpeedButtonLast)})
        row->addWidget(w);
    row->addStretch(1);
    row->addWidget(RxSpeedButtonPrint);
    row->addWidget(RxSpeedButtonCopy);
    row->addWidget(RxSpeedButtonDelete);
    top->addLayout(row);
    ComboBoxDate = new QComboBox(PanelTop);
    ComboBoxDate->setObjectName(QStringLiteral("ComboBoxDate"));
    ComboBoxDate->setStatusTip(QStringLiteral("Display pictures with seleted date"));
    ComboBoxDate->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    top->addWidget(ComboBoxDate);
    layout->addWidget(PanelTop);

    Image = new TPictureBox(this);
    Image->setObjectName(QStringLiteral("Image"));
    Image->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(Image, 1);

    PanelInfo = new QLabel(this);
    PanelInfo->setObjectName(QStringLiteral("PanelInfo"));
    PanelInfo->setStatusTip(QStringLiteral("Image date"));
    PanelInfo->setAlignment(Qt::AlignCenter);
    PanelInfo->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    PanelInfo->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    PanelInfo->setMargin(2);
    layout->addWidget(PanelInfo);

    PanelBottom = makePanel(this, "PanelBottom");
    auto* bottom = new QHBoxLayout(PanelBottom);
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(0);
    PanelPlay = makePanel(PanelBottom, "PanelPlay");
    auto* play = new QHBoxLayout(PanelPlay);
    play->setContentsMargins(4, 2, 4, 2);
    SpeedButtonPlay = makeButton(PanelPlay, "SpeedButtonPlay", "Slide show", QStyle::SP_MediaPlay);
    SpeedButtonPlay->setCheckable(true);
    play->addWidget(SpeedButtonPlay);
    bottom->addWidget(PanelPlay);
    TrackBar = new QSlider(Qt::Horizontal, PanelBottom);
    TrackBar->setObjectName(QStringLiteral("TrackBar"));
    TrackBar->setStatusTip(QStringLiteral("Pictures"));
    TrackBar->setPageStep(1);
    bottom->addWidget(TrackBar, 1);
    // The clip's mark and button sit where the eye goes from the picture to
    // its place in the list; the mark shows only for a picture with a clip.
    auto* panelClip = makePanel(PanelBottom, "PanelClip");
    auto* clip = new QHBoxLayout(panelClip);
    clip->setContentsMargins(4, 2, 4, 2);
    LabelClip = new QLabel(panelClip);
    LabelClip->setObjectName(QStringLiteral("LabelClip"));
    LabelClip->setStatusTip(QStringLiteral("This picture has a video clip"));
    LabelClip->hide();
    clip->addWidget(LabelClip);
    SpeedButtonClip =
        makeButton(panelClip, "SpeedButtonClip", "Play video clip", QStyle::SP_MediaPlay);
    clip->addWidget(SpeedButtonClip);
    bottom->addWidget(panelClip);
    layout->addWidget(PanelBottom);

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    LabelStatus = new QLabel(StatusBar);
    LabelStatus->setObjectName(QStringLiteral("LabelStatus"));
    StatusBar->addWidget(LabelStatus, 1);
    layout->addWidget(StatusBar);

    PopupMenu = new QMenu(this);
    PopupMenu->setObjectName(QStringLiteral("PopupMenu"));
    MenuItemPrint = PopupMenu->addAction(QStringLiteral("&Print..."));
    MenuItemPrint->setObjectName(QStringLiteral("MenuItemPrint"));
    MenuItemCopy = PopupMenu->addAction(QStringLiteral("Co&py"));
    MenuItemCopy->setObjectName(QStringLiteral("MenuItemCopy"));
    MenuItemDelete = PopupMenu->addAction(QStringLiteral("Delete"));
    MenuItemDelete->setObjectName(QStringLiteral("MenuItemDelete"));
    PopupMenu->addSeparator();
    MenuItemClipPlay = PopupMenu->addAction(QStringLiteral("Play video clip\tV"));
    MenuItemClipPlay->setObjectName(QStringLiteral("MenuItemClipPlay"));
    MenuItemClipPause = PopupMenu->addAction(QStringLiteral("Pause video clip\tV"));
    MenuItemClipPause->setObjectName(QStringLiteral("MenuItemClipPause"));
    MenuItemClipBack = PopupMenu->addAction(QStringLiteral("Back to the picture\tEsc"));
    MenuItemClipBack->setObjectName(QStringLiteral("MenuItemClipBack"));
    connect(Image, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu->popup(Image->mapToGlobal(at)); });

    Timer = new QTimer(this);
    Timer->setObjectName(QStringLiteral("Timer"));
    Timer->setInterval(kSlideShowMs);

    Player = new TClipPlayer(this);
    Player->setObjectName(QStringLiteral("Player"));

    connect(ComboBoxDate, &QComboBox::activated, this, &TFormView::ComboBoxDateClick);
    connect(RxSpeedButtonFirst, &QToolButton::clicked, this, &TFormView::RxSpeedButtonFirstClick);
    connect(RxSpeedButtonPrevious, &QToolButton::clicked, this,
            &TFormView::RxSpeedButtonPreviousClick);
    connect(RxSpeedButtonNext, &QToolButton::clicked, this, &TFormView::RxSpeedButtonNextClick);
    connect(RxSpeedButtonLast, &QToolButton::clicked, this, &TFormView::RxSpeedButtonLastClick);
    connect(EditIndex, &QLineEdit::editingFinished, this, &TFormView::EditIndexChange);
    connect(TrackBar, &QSlider::valueChanged, this, &TFormView::TrackBarChange);
    connect(SpeedButtonPlay, &QToolButton::clicked, this, &TFormView::SpeedButtonPlayClick);
    connect(Timer, &QTimer::timeout, this, &TFormView::TimerTimer);
    connect(RxSpeedButtonDelete, &QToolButton::clicked, this, &TFormView::RxSpeedButtonDeleteClick);
    connect(MenuItemDelete, &QAction::triggered, this, &TFormView::RxSpeedButtonDeleteClick);
    connect(RxSpeedButtonCopy, &QToolButton::clicked, this, &TFormView::RxSpeedButtonCopyClick);
    connect(MenuItemCopy, &QAction::triggered, this, &TFormView::RxSpeedButtonCopyClick);
    connect(RxSpeedButtonPrint, &QToolButton::clicked, this, &TFormView::RxSpeedButtonPrintClick);
    connect(MenuItemPrint, &QAction::triggered, this, &TFormView::RxSpeedButtonPrintClick);
    connect(SpeedButtonClip, &QToolButton::clicked, this, &TFormView::SpeedButtonClipClick);
    connect(MenuItemClipPlay, &QAction::triggered, this, &TFormView::MenuItemClipPlayClick);
    connect(MenuItemClipPause, &QAction::triggered, this, &TFormView::MenuItemClipPauseClick);
    connect(MenuItemClipBack, &QAction::triggered, this, &TFormView::MenuItemClipBackClick);
    // The player only reports for the clip it plays now, so every frame is
    // the current picture's.
    connect(Player, &TClipPlayer::FrameReady, Image, &TPictureBox::SetPicture);
    for (auto signal :
         {&TClipPlayer::Started, &TClipPlayer::Paused, &TClipPlayer::Stopped, &TClipPlayer::Ended})
        connect(Player, signal, this, &TFormView::UpdateClipControls);
    connect(Player, &TClipPlayer::Failed, this, &TFormView::ClipFailed);
}

QString TFormView::Open(QWidget* parent, const QString& folder, const QString& ownerLine,
                        HelpHandler help)
{
    TFormView view(parent);
    view.SetHelpHandler(std::move(help));
    view.SetOwnerLine(ownerLine);
    view.ListFolder(folder);
    view.exec();
    return view.LastPicture();
}

QString TFormView::LastPicture() const
{
    const QStringList& names = pictures_.Names();
    return names.isEmpty() ? QString() : pictures_.PathOf(names.last());
}

void TFormView::ListFolder(const QString& folder)
{
    pictures_.List(folder);
    SetStatusLine(pictures_.TotalText());
    RebuildDayList();
    ApplyDayFilter();
}

void TFormView::SetStatusLine(const QString& text)
{
    LabelStatus->setText(text);
}

void TFormView::RebuildDayList()
{
    const QSignalBlocker block(ComboBoxDate);
    ComboBoxDate->clear();
    int today = 0;
    const QStringList items = pictures_.DayItems(IlxNow().date(), &today);
    ComboBoxDate->addItems(items);
    // An empty folder offers "All days" with nothing selected.
    ComboBoxDate->setCurrentIndex(pictures_.Names().isEmpty() ? -1 : today);
}

void TFormView::ApplyDayFilter()
{
    const int item = ComboBoxDate->currentIndex();
    shown_ = item < 0 ? QStringList() : pictures_.NamesOfDay(item, ComboBoxDate->itemText(item));
    index_ = shown_.isEmpty() ? -1 : 0;
    UpdateControls();
    // A filter that leaves nothing must not keep the last picture on show.
    ShowPicture(index_);
}

void TFormView::ComboBoxDateClick()
{
    ApplyDayFilter();
}

void TFormView::UpdateControls()
{
    const int count = static_cast<int>(shown_.size());
    index_ = std::min(index_, count - 1);
    RxSpeedButtonFirst->setEnabled(index_ > 0);
    RxSpeedButtonPrevious->setEnabled(index_ > 0);
    if (!typing_)
        EditIndex->setText(QString::number(index_ + 1));
    EditIndex->setEnabled(count > 0);
    LabelTotal->setText(QStringLiteral("/ ") + QString::number(count));
    SpeedButtonPlay->setEnabled(count > 1);
    {
        const QSignalBlocker block(TrackBar);
        TrackBar->setEnabled(count > 1);
        TrackBar->setMaximum(std::max(0, count - 1));
        TrackBar->setValue(std::max(0, index_));
    }
    const bool further = index_ < count - 1 && count > 1;
    RxSpeedButtonNext->setEnabled(further);
    RxSpeedButtonLast->setEnabled(further);
    const bool any = count > 0;
    for (QToolButton* b : {RxSpeedButtonPrint, RxSpeedButtonCopy, RxSpeedButtonDelete})
        b->setEnabled(any && !printing_);
    for (QAction* a : {MenuItemPrint, MenuItemCopy, MenuItemDelete})
        a->setEnabled(any && !printing_);
    RxSpeedButtonCopy->setEnabled(any);
    MenuItemCopy->setEnabled(any);
    if (count <= 1 && Timer->isActive()) {
        Timer->stop();
        SpeedButtonPlay->setChecked(false);
    }
    UpdateClipControls();
}

void TFormView::UpdateClipControls()
{
    using TState = TClipPlayer::TState;
    const TState state = Player->State();
    const bool has = !clip_.isEmpty();
    const bool can = has && !printing_;
    const bool playing = state == TState::Playing;
    LabelClip->setVisible(has);
    LabelClip->setText(clipStateText(state));
    SpeedButtonClip->setEnabled(can);
    SpeedButtonClip->setIcon(
        style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
    SpeedButtonClip->setStatusTip(playing ? QStringLiteral("Pause video clip")
                                          : QStringLiteral("Play video clip"));
    MenuItemClipPlay->setEnabled(can && !playing);
    MenuItemClipPause->setEnabled(can && playing);
    MenuItemClipBack->setEnabled(can && state != TState::Stopped);
}

QString TFormView::ClipOf(const QString& name) const
{
    // A clip being written has another name, so one found here is whole.
    const QString clip = ClipFileName(pictures_.PathOf(name));
    return !clip.isEmpty() && QFileInfo(clip).isFile() ? clip : QString();
}

bool TFormView::HaltClip()
{
    // True when the clip's frames were on show in the picture's place.
    if (Player->State() == TClipPlayer::TState::Stopped)
        return false;
    Player->Stop();
    return true;
}

void TFormView::BackToPicture()
{
    if (HaltClip())
        ShowPicture(index_);
}

void TFormView::SpeedButtonClipClick()
{
    if (Player->State() == TClipPlayer::TState::Playing)
        MenuItemClipPauseClick();
    else
        MenuItemClipPlayClick();
}

void TFormView::MenuItemClipPlayClick()
{
    if (clip_.isEmpty() || printing_)
        return;
    // The slide show would move on from under the clip.
    if (Timer->isActive()) {
        Timer->stop();
        SpeedButtonPlay->setChecked(false);
    }
    if (Player->State() == TClipPlayer::TState::Stopped)
        Player->Play(clip_);
    else
        Player->Resume();
}

void TFormView::MenuItemClipPauseClick()
{
    Player->Pause();
}

void TFormView::MenuItemClipBackClick()
{
    BackToPicture();
}

void TFormView::ClipFailed(const QString& reason)
{
    // The picture is back before the user reads why the clip is not.
    ShowPicture(index_);
    ShowMessageBox(this,
                   QStringLiteral("Unable to play the video clip:\n") +
                       QFileInfo(Player->File()).fileName() + QLatin1Char('\n') + reason,
                   MkWarning, MbOk);
}

void TFormView::ShowPicture(int i)
{
    // Whatever picture comes, its clip starts from the picture.
    HaltClip();
    clip_.clear();
    const auto clipControls = qScopeGuard([this] { UpdateClipControls(); });
    if (i < 0 || i >= shown_.size()) {
        Image->Clear();
        PanelInfo->clear();
        // With nothing on show the line still says what the folder holds.
        SetStatusLine(pictures_.TotalText());
        return;
    }
    const QString& name = shown_.at(i);
    const QFileInfo info(pictures_.PathOf(name));
    if (!info.exists())
        return;
    clip_ = ClipOf(name);
    QSize size;
    try {
        const QImage picture = ReadJpegFile(info.filePath());
        Image->SetPicture(picture);
        size = picture.size();
    } catch (const EIlxError&) {
        // A broken file keeps its place in the lists; it just has nothing to show.
        Image->SetError(QStringLiteral("Picture format not supported\n") + name);
    }
    PanelInfo->setText(PictureText(name));
    SetStatusLine(KiloText(info.size()) + QStringLiteral(" (picture) / ") + pictures_.TotalText());
    if (size.isValid())
        FitWindow(size);
}

void TFormView::FitWindow(QSize picture)
{
    const QScreen* s = screen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    const QSize before = size();
    int w = width();
    int h = height();
    if (w != picture.width() + kPictureMargin)
        w = std::max(kMinWidth,
                     std::min(picture.width() + kPictureMargin, area.width() - 2 * frameWidth_));
    const int fixed = PanelTop->sizeHint().height() + PanelInfo->sizeHint().height() +
                      PanelBottom->sizeHint().height() + StatusBar->sizeHint().height();
    if (h - fixed != picture.height() + kPictureMargin)
        h = std::min(picture.height() + kPictureMargin + fixed,
                     area.height() - captionHeight_ - 2 * frameWidth_);
    if (QSize(w, h) != before) {
        resize(w, h);
        const QRect outer = frameGeometry();
        move(area.x() + std::max(0, (area.width() - outer.width()) / 2),
             area.y() + std::max(0, (area.height() - outer.height()) / 2));
    }
}

void TFormView::RxSpeedButtonFirstClick()
{
    if (index_ == 0 || shown_.isEmpty())
        return;
    index_ = 0;
    UpdateControls();
    ShowPicture(index_);
}

void TFormView::RxSpeedButtonPreviousClick()
{
    if (index_ < 1)
        return;
    --index_;
    UpdateControls();
    ShowPicture(index_);
}

void TFormView::RxSpeedButtonNextClick()
{
    if (index_ >= shown_.size() - 1)
        return;
    ++index_;
    UpdateControls();
    ShowPicture(index_);
}

void TFormView::RxSpeedButtonLastClick()
{
    const int last = static_cast<int>(shown_.size()) - 1;
    if (index_ == last)
        return;
    index_ = last;
    UpdateControls();
    ShowPicture(index_);
}

void TFormView::EditIndexChange()
{
    if (typing_)
        return;
    const QString text = EditIndex->text().trimmed();
    if (text.isEmpty() || shown_.isEmpty())
        return;
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok) {
        // The box takes the focus and would finish the edit again: put the
        // number back first, then say why.
        const QString typed = EditIndex->text();
        EditIndex->setText(QString::number(index_ + 1));
        typing_ = true;
        ShowMessageBox(this,
                       QLatin1Char('\'') + typed + QStringLiteral("' is not a valid integer value"),
                       MkError, MbOk);
        typing_ = false;
        return;
    }
    const int wanted = std::clamp(n - 1, 0, static_cast<int>(shown_.size()) - 1);
    if (wanted != index_) {
        index_ = wanted;
        ShowPicture(index_);
        EditIndex->setText(QString::number(index_ + 1));
    }
    UpdateControls();
}

void TFormView::TrackBarChange()
{
    if (TrackBar->value() == index_ || Timer->isActive())
        return;
    index_ = TrackBar->value();
    UpdateControls();
    ShowPicture(index_);
}

void TFormView::SpeedButtonPlayClick()
{
    if (SpeedButtonPlay->isChecked() && shown_.size() > 1) {
        BackToPicture();
        Timer->start();
    } else {
        Timer->stop();
        SpeedButtonPlay->setChecked(false);
    }
}

void TFormView::TimerTimer()
{
    if (index_ < shown_.size() - 1) {
        RxSpeedButtonNextClick();
        return;
    }
    Timer->stop();
    SpeedButtonPlay->setChecked(false);
    RxSpeedButtonFirstClick();
}

void TFormView::RxSpeedButtonDeleteClick()
{
    if (index_ < 0 || index_ >= shown_.size() || printing_)
        return;
    BackToPicture();
    const QString name = shown_.at(index_);
    const QString clip = ClipOf(name);
    QString question = QStringLiteral("Do you want to delete this picture\n") + name;
    if (!clip.isEmpty())
        question += QStringLiteral("\nIts video clip will be deleted too.");
    if (ShowMessageBox(this, question, MkQuestion, MbYesNo) != MrYes)
        return;
    // The clip goes first: when it cannot, both stay, and the viewer still
    // shows the picture with its clip as they are on the disk.
    if (!clip.isEmpty()) {
        QFile clipFile(clip);
        if (!clipFile.remove() && clipFile.exists()) {
            ShowMessageBox(this,
                           QStringLiteral("Unable to delete video clip:\n") +
                               QFileInfo(clip).fileName() + QLatin1Char('\n') +
                               clipFile.errorString(),
                           MkWarning, MbOk);
            return;
        }
    }
    QFile file(pictures_.PathOf(name));
    // A picture someone else already deleted just leaves the lists.
    if (!file.remove() && file.exists()) {
        // Saying nothing would leave the user believing the picture is gone.
        ShowMessageBox(this,
                       QStringLiteral("Unable to delete picture:\n") + name + QStringLiteral("\n") +
                           file.errorString(),
                       MkWarning, MbOk);
        return;
    }
    pictures_.Remove(name);
    shown_.removeAt(index_);
    if (shown_.isEmpty()) {
        const int items = ComboBoxDate->count();
        RebuildDayList();
        if (ComboBoxDate->count() != items) {
            ApplyDayFilter();
            return;
        }
    }
    UpdateControls();
    ShowPicture(index_);
}

void TFormView::RxSpeedButtonCopyClick()
{
    // The picture is copied, never a frame of its clip.
    BackToPicture();
    if (Image->Picture().isNull())
        return;
    const QString name = index_ >= 0 && index_ < shown_.size() ? shown_.at(index_) : QString();
    const QString clip = name.isEmpty() ? QString() : ClipOf(name);
    if (clip.isEmpty() ||
        ShowMessageBox(this,
                       QStringLiteral("Do you want to copy its video clip too\n") +
                           QFileInfo(clip).fileName(),
                       MkQuestion, MbYesNo) != MrYes) {
        QGuiApplication::clipboard()->setImage(Image->Picture());
        return;
    }
    // The image for a picture editor, both files for a file manager.
    auto* data = new QMimeData;
    data->setImageData(Image->Picture());
    data->setUrls({QUrl::fromLocalFile(pictures_.PathOf(name)), QUrl::fromLocalFile(clip)});
    QGuiApplication::clipboard()->setMimeData(data);
}

void TFormView::RxSpeedButtonPrintClick()
{
    if (shown_.isEmpty() || printing_)
        return;
    BackToPicture();
    const int count = static_cast<int>(shown_.size());
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, true);
    dialog.setMinMax(1, count);
    dialog.setFromTo(1, count);
    dialog.setPrintRange(QAbstractPrintDialog::Selection);
    if (dialog.exec() != QDialog::Accepted)
        return;
    TPrintRange range = TPrintRange::All;
    if (printer.printRange() == QPrinter::Selection)
        range = TPrintRange::Selection;
    else if (printer.printRange() == QPrinter::PageRange)
        range = TPrintRange::Pages;
    PrintPictures(printer, range, printer.fromPage(), printer.toPage());
}

int TFormView::PrintPictures(QPrinter& printer, TPrintRange range, int from, int to)
{
    const int count = static_cast<int>(shown_.size());
    if (count == 0 || printing_)
        return 0;
    BackToPicture();
    int first = 1;
    int last = count;
    if (range == TPrintRange::Selection) {
        first = last = std::max(0, index_) + 1;
    } else if (range == TPrintRange::Pages) {
        first = std::clamp(from, 1, count);
        last = std::clamp(to < 1 ? count : to, first, count);
    }
    // The list may change while pages print (the day list stays live).
    const QStringList names = shown_.mid(first - 1, last - first + 1);
    const QString title = ApplicationTitle();
    printer.setDocName(title + QStringLiteral(" - page(s):") + QString::number(first) +
                       QStringLiteral(" to ") + QString::number(last));

    printing_ = true;
    printCancel_ = false;
    UpdateControls();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    int started = 0;
    QPainter painter;
    if (painter.begin(&printer)) {
        TPageGeometry page;
        const QRect printable = printer.pageLayout().paintRectPixels(printer.resolution());
        const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
        page.Printable = printable.size();
        page.Paper = paper.translated(-printable.topLeft());
        page.Dpi = printer.resolution();
        const QString printedAt = QLocale().toString(IlxNow(), QLocale::ShortFormat);
        for (int i = 0; i < names.size() && !printCancel_; ++i) {
            ++started;
            QImage picture;
            try {
                picture = ReadJpegFile(pictures_.PathOf(names.at(i)));
            } catch (const EIlxError&) {
                ShowMessageBox(this, QStringLiteral("Picture format not supported\n") + names.at(i),
                               MkWarning, MbOk);
            }
            // Esc is read here, between pages.
            QCoreApplication::processEvents();
            if (!picture.isNull()) {
                TPrintedTexts texts;
                texts.Title = title;
                texts.Owner = ownerLine_;
                texts.Note = printNote_;
                texts.Picture = PictureText(names.at(i));
                if (range != TPrintRange::Selection)
                    texts.PageNumber = QStringLiteral("Page ") + QString::number(i + 1) +
                                       QLatin1Char('/') + QString::number(names.size());
                texts.PrintedAt = printedAt;
                PaintPrintedPage(painter, page, picture, texts);
            }
            if (i + 1 < names.size() && !printCancel_)
                printer.newPage();
        }
        painter.end();
    } else {
        ShowMessageBox(this, QStringLiteral("Unable to start printing"), MkWarning, MbOk);
    }
    QApplication::restoreOverrideCursor();
    printing_ = false;
    UpdateControls();
    return started;
}

bool TFormView::FormKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if (key == Qt::Key_Escape) {
        printCancel_ = true;
        BackToPicture();
        return true;
    }
    if (modifiers == Qt::NoModifier || modifiers == Qt::KeypadModifier) {
        if (key == Qt::Key_Up && RxSpeedButtonPrevious->isEnabled()) {
            RxSpeedButtonPreviousClick();
            return true;
        }
        if (key == Qt::Key_Down && RxSpeedButtonNext->isEnabled()) {
            RxSpeedButtonNextClick();
            return true;
        }
        // The window's own whatever the picture, as the Ctrl keys are: it
        // never types into the number box.
        if (key == Qt::Key_V) {
            if (SpeedButtonClip->isEnabled())
                SpeedButtonClipClick();
            return true;
        }
        return false;
    }
    if (modifiers != Qt::ControlModifier)
        return false;
    if (key == Qt::Key_Delete) {
        if (RxSpeedButtonDelete->isEnabled())
            RxSpeedButtonDeleteClick();
        return true;
    }
    if (key == Qt::Key_C) {
        if (RxSpeedButtonCopy->isEnabled())
            RxSpeedButtonCopyClick();
        return true;
    }
    if (key == Qt::Key_P) {
        if (RxSpeedButtonPrint->isEnabled())
            RxSpeedButtonPrintClick();
        return true;
    }
    return false;
}

int TFormView::HelpContextOf(const QWidget* control)
{
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        int number = w->property("HelpContext").toInt();
        if (number == 0)
            number = w->property("Tag").toInt();
        if (number == 0) {
            if (const auto* label = qobject_cast<const QLabel*>(w); label && label->buddy())
                number = label->buddy()->property("HelpContext").toInt();
        }
        if (number != 0)
            return number;
        if (w->isWindow())
            break;
    }
    return kDefaultHelpContext;
}

void TFormView::ShowHelp(const QWidget* control, QPoint globalPos)
{
    if (helpHandler_)
        helpHandler_(HelpContextOf(control), globalPos);
}

bool TFormView::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this)
        return QDialog::eventFilter(watched, event);
    auto* control = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            ShowHelp(control, QCursor::pos());
            return true;
        }
        return FormKeyDown(key->key(), key->modifiers());
    }
    case QEvent::QueryWhatsThis:
        // Every control answers the caption's help button.
        event->accept();
        return true;
    case QEvent::WhatsThis:
        ShowHelp(control, static_cast<QHelpEvent*>(event)->globalPos());
        return true;
    default:
        return QDialog::eventFilter(watched, event);
    }
}

bool TFormView::event(QEvent* event)
{
    // Hints go to the status bar, as in the main window.
    if (event->type() == QEvent::StatusTip) {
        StatusBar->showMessage(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

void TFormView::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    frameWidth_ = frameGeometry().width() - width();
    captionHeight_ = frameGeometry().height() - height() - 2 * frameWidth_;
    if (index_ >= 0)
        ShowPicture(index_);
}

void TFormView::closeEvent(QCloseEvent* event)
{
    if (printing_) {
        event->ignore();
        return;
    }
    HaltClip();
    QDialog::closeEvent(event);
}

void TFormView::reject()
{
    if (printing_)
        return;
    HaltClip();
    QDialog::reject();
}
