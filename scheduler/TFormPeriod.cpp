#include "TFormPeriod.h"

#include "GuardedCommand.h"

#include "EIlxError.h"
#include "Horaires.h"
#include "SchedulerTexts.h"
#include "TDrawGrid.h"
#include "TTimeCells.h"
#include "TimeTexts.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int kColumns = TTimeCells::kCellsPerDay;
constexpr int kRows = TTimeCells::kDays + 1; // a header row above the weekdays
constexpr int kColumnWidth = 6;
constexpr int kRowHeight = 18;
constexpr int kLineWidth = 1;
constexpr int kDialogWidth = 720;
constexpr int kDialogHeight = 280;
constexpr int kGridLeft = 32;
constexpr int kGridTop = 68;
constexpr int kColumnPitch = kColumnWidth + kLineWidth;
constexpr int kRowPitch = kRowHeight + kLineWidth;

const QColor kGridLine(0x80, 0x80, 0x80);
const QColor kWeekend(0xF0, 0xF0, 0xF0);
const QColor kHourLine(0xFF, 0x00, 0x00);
const QColor kScanBar(0x00, 0x00, 0xFF);
const QColor kNowMarker(0xFF, 0x00, 0x00);

// The cell drawing is written for a canvas whose rectangles and fills stop
// short of their right and bottom coordinates and whose lines leave out
// their end point; these three keep those rules on a QPainter.
void outlinedRectangle(QPainter& canvas, int x1, int y1, int x2, int y2, const QColor& pen,
                       const QColor& brush)
{
    if (x2 - x1 < 1 || y2 - y1 < 1)
        return;
    canvas.fillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), brush);
    canvas.setPen(QPen(pen, 1));
    canvas.setBrush(Qt::NoBrush);
    canvas.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void fill(QPainter& canvas, int x1, int y1, int x2, int y2, const QColor& colour)
{
    if (x2 > x1 && y2 > y1)
        canvas.fillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), colour);
}

// A vertical line from yFrom towards yTo, yTo itself left out.
void verticalLine(QPainter& canvas, int x, int yFrom, int yTo, const QColor& colour, int width = 1)
{
    const int top = yTo < yFrom ? yTo + 1 : yFrom;
    const int bottom = yTo < yFrom ? yFrom : yTo - 1;
    if (bottom < top)
        return;
    // An even pen straddles x on its left side.
    const int left = x - width / 2;
    canvas.fillRect(QRect(left, top, width, bottom - top + 1), colour);
}

QPixmap moonPicture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath disc;
    disc.addEllipse(QRectF(1.5, 1.5, 13, 13));
    QPainterPath bite;
    bite.addEllipse(QRectF(5.5, -0.5, 12, 12));
    p.fillPath(disc.subtracted(bite), QColor(0x30, 0x40, 0x90));
    return picture;
}

QPixmap sunPicture()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(8, 8);
    p.setPen(QPen(QColor(0xE0, 0x90, 0x00), 1.5));
    for (int i = 0; i < 8; ++i) {
        p.drawLine(QPointF(0, 5), QPointF(0, 7.5));
        p.rotate(45);
    }
    p.setPen(QColor(0xE0, 0x90, 0x00));
    p.setBrush(QColor(0xFF, 0xD0, 0x20));
    p.drawEllipse(QPointF(0, 0), 4, 4);
    return picture;
}

// Button glyphs: a cell with and without the scan bar.
QIcon cellGlyph(bool scanning)
{
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.fillRect(QRect(1, 1, 14, 14), Qt::white);
    p.setPen(kGridLine);
    p.drawRect(QRect(1, 1, 13, 13));
    if (scanning)
        p.fillRect(QRect(3, 4, 10, 8), kScanBar);
    return QIcon(glyph);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setAlignment(alignment);
    return label;
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& text, int left,
                        const QIcon& glyph)
{
    auto* button = new QPushButton(glyph, text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, 228, 90, 25);
    return button;
}

} // namespace

TFormPeriod::TFormPeriod(const QString& schedulePath, QWidget* parent)
    : QDialog(parent), schedulePath_(schedulePath)
{
    buildControls();
    FormCreate();
}

TFormPeriod::~TFormPeriod() = default;

void TFormPeriod::buildControls()
{
    setObjectName(QStringLiteral("FormPeriod"));
    setWindowTitle(QStringLiteral("Scanning period"));
    // A fixed dialog border without title-bar buttons.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(kDialogWidth, kDialogHeight);
    setMouseTracking(true);

    LabelPeriodSelect = makeLabel(this, "LabelPeriodSelect", QStringLiteral("Selected period:"),
                                  QRect(8, 8, 337, 16));
    LabelNextChange = makeLabel(this, "LabelNextChange", QStringLiteral("Next change:"),
                                QRect(372, 8, 337, 16), Qt::AlignRight | Qt::AlignVCenter);

    const auto picture = [this](const char* name, int centreX, const QPixmap& pixmap) {
        QLabel* image = makeLabel(this, name, QString(), QRect(centreX - 8, 28, 16, 16));
        image->setPixmap(pixmap);
        return image;
    };
    ImageLune0 = picture("ImageLune0", kGridLeft, moonPicture());
    ImageSoleil = picture("ImageSoleil", kGridLeft + 48 * kColumnPitch, sunPicture());
    ImageLune1 = picture("ImageLune1", kGridLeft + kColumns * kColumnPitch, moonPicture());

    static const char* const timeNames[] = {"LabelT0", "LabelT1", "LabelT2", "LabelT3", "LabelT4"};
    static const char* const timeTexts[] = {"00:00", "06:00", "12:00", "18:00", "24:00"};
    for (int i = 0; i < 5; ++i) {
        // Centred over its column, wide enough for the text in the desktop's
        // font, and kept inside the dialog: "24:00" sits at its right edge.
        const QString text = QString::fromLatin1(timeTexts[i]);
        const int width = std::max(40, fontMetrics().horizontalAdvance(text) + 4);
        const int x = kGridLeft + i * 24 * kColumnPitch;
        const int left = std::clamp(x - width / 2, 0, kDialogWidth - width);
        LabelT[static_cast<std::size_t>(i)] =
            makeLabel(this, timeNames[i], text, QRect(left, 48, width, 16),
                      Qt::AlignHCenter | Qt::AlignVCenter);
    }

    for (int r = 1; r <= TTimeCells::kDays; ++r) {
        const QByteArray name = "Label" + QByteArray::number(r);
        // From the dialog's edge to just before the grid, so that the widest
        // day ("Wed") is never cut on the left.
        QLabel* label = makeLabel(this, name.constData(), QString(),
                                  QRect(0, kGridTop + r * kRowPitch, kGridLeft - 2, kRowHeight),
                                  Qt::AlignRight | Qt::AlignVCenter);
        label->setAutoFillBackground(false);
        LabelDay[static_cast<std::size_t>(r - 1)] = label;
    }

    DrawGridPeriod = new TDrawGrid(this);
    DrawGridPeriod->setObjectName(QStringLiteral("DrawGridPeriod"));
    DrawGridPeriod->setGeometry(kGridLeft, kGridTop, kColumns * kColumnPitch, kRows * kRowPitch);
    DrawGridPeriod->SetBackground(kWeekend);
    DrawGridPeriod->OnDrawCell = [this](QPainter& canvas, int column, int row,
                                        const TCellRect& rect, bool selected) {
        DrawGridPeriodDrawCell(canvas, column, row, rect, selected);
    };
    DrawGridPeriod->OnMouseMove = [this](Qt::KeyboardModifiers shift, int x, int y) {
        DrawGridPeriodMouseMove(shift, x, y);
    };
    DrawGridPeriod->OnMouseLeave = [this] {
        FormMouseMove();
    };

    BitBtnActive =
        makeButton(this, "BitBtnActive", QStringLiteral("&Activate"), 31, cellGlyph(true));
    BitBtnDisactivate =
        makeButton(this, "BitBtnDisactivate", QStringLiteral("&Deactivate"), 135, cellGlyph(false));
    BitBtnOK = makeButton(this, "BitBtnOK", QStringLiteral("OK"), 407,
                          style()->standardIcon(QStyle::SP_DialogOkButton));
    BitBtnApply = makeButton(this, "BitBtnApply", QStringLiteral("A&pply"), 511,
                             style()->standardIcon(QStyle::SP_DialogApplyButton));
    BitBtnCancel = makeButton(this, "BitBtnCancel", QStringLiteral("Cancel"), 615,
                              style()->standardIcon(QStyle::SP_DialogCancelButton));
    BitBtnOK->setDefault(true);
    connect(BitBtnActive, &QPushButton::clicked, this, &TFormPeriod::BitBtnActiveClick);
    connect(BitBtnDisactivate, &QPushButton::clicked, this, &TFormPeriod::BitBtnDisactivateClick);
    // A schedule that cannot be written is reported at the button's edge.
    connect(BitBtnOK, &QPushButton::clicked, this, Guarded([this] { BitBtnOKClick(); }));
    connect(BitBtnApply, &QPushButton::clicked, this, Guarded([this] { BitBtnApplyClick(); }));
    connect(BitBtnCancel, &QPushButton::clicked, this, Guarded([this] { BitBtnCancelClick(); }));

    StatusBar = new QStatusBar(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setGeometry(0, kDialogHeight - 19, kDialogWidth, 19);

    TimerRefresh = new QTimer(this);
    TimerRefresh->setObjectName(QStringLiteral("TimerRefresh"));
    TimerRefresh->setInterval(1000);
    connect(TimerRefresh, &QTimer::timeout, this, &TFormPeriod::TimerRefreshTimer);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = geometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

void TFormPeriod::FormCreate()
{
    DrawGridPeriod->SetGrid(kColumns, kRows, 1, kColumnWidth, kRowHeight, kLineWidth);
    for (int r = 1; r <= TTimeCells::kDays; ++r)
        LabelDay[static_cast<std::size_t>(r - 1)]->setText(EnglishDayName(r - 1).left(3));

    modified_ = false;
    refreshing_ = false;
    refreshCounter_ = 0;

    cells_ = std::make_unique<TTimeCells>();
    try {
        LoadSchedule(*cells_, schedulePath_);
    } catch (const EIlxError&) {
        // An unopenable file leaves the editor without a schedule to show or save.
        cells_.reset();
    }
    setModified(false);
    TimerRefreshTimer();
    TimerRefresh->start();
}

void TFormPeriod::setModified(bool modified)
{
    modified_ = modified;
    BitBtnApply->setEnabled(modified);
}

void TFormPeriod::DrawGridPeriodDrawCell(QPainter& canvas, int column, int row,
                                         const TCellRect& rect, bool selected)
{
    const int left = rect.Left;
    const int top = rect.Top;
    const int right = rect.Right;
    const int bottom = rect.Bottom;
    const bool lastColumn = column == DrawGridPeriod->ColCount() - 1;

    if (row == 0) {
        const QColor face = palette().color(QPalette::Button);
        outlinedRectangle(canvas, left, top, right + 1, bottom + 2, face, face);
        int tickTop = top - 1;
        if (column % 4 == 2)
            tickTop = (bottom - top) / 2;
        else if (column % 4 != 0)
            tickTop = (bottom - top) * 3 / 4;
        verticalLine(canvas, left, bottom, tickTop, Qt::black);
        if (lastColumn)
            verticalLine(canvas, right, bottom, top - 1, Qt::black);
        if (column == hoverColumn_)
            verticalLine(canvas, left + (right - left) / 2 + 1, bottom, top - 1,
                         palette().color(QPalette::HighlightedText), 2);
        return;
    }

    QColor brush = Qt::white;
    if (selected)
        brush = palette().color(QPalette::Highlight);
    else if (row == 1 || row == TTimeCells::kDays)
        brush = kWeekend;
    const int lastRow = DrawGridPeriod->RowCount() - 1;
    outlinedRectangle(canvas, left, top, right + 2, row == lastRow ? bottom + 1 : bottom + 2,
                      kGridLine, brush);
    if (lastColumn)
        verticalLine(canvas, right, bottom, top - 1, kGridLine);
    if (column % 4 == 0)
        verticalLine(canvas, left, bottom, top - 1, kHourLine);
    if (cells_ && cells_->Cell(column, row))
        fill(canvas, left + 1, top + 4, right + 1, bottom - 2, kScanBar);
    if (column == CurrentTimeCell() && row == CurrentWeekday())
        fill(canvas, left + 2, top + 5, right + 1, bottom - 1, kNowMarker);
}

void TFormPeriod::DrawGridPeriodMouseMove(Qt::KeyboardModifiers, int x, int y)
{
    const TGridRect& selection = DrawGridPeriod->Selection();
    LabelPeriodSelect->setText(SelectionText(selection.Left, selection.Right));

    try {
        int column = -1;
        int row = -1;
        DrawGridPeriod->MouseToCell(x, y, column, row);
        highlightDayLabel(row);
        setHoverColumn(column);
        StatusBar->showMessage(row >= 1 ? CellStatusText(column, row) : QString());
    } catch (const EIlxError&) {
        StatusBar->clearMessage();
    }
}

void TFormPeriod::FormMouseMove()
{
    StatusBar->clearMessage();
    highlightDayLabel(-1);
    setHoverColumn(-1);
}

void TFormPeriod::mouseMoveEvent(QMouseEvent* event)
{
    QDialog::mouseMoveEvent(event);
    FormMouseMove();
}

void TFormPeriod::highlightDayLabel(int row)
{
    for (int r = 1; r <= TTimeCells::kDays; ++r) {
        QLabel* label = LabelDay[static_cast<std::size_t>(r - 1)];
        QPalette colours = label->palette();
        const bool pointed = r == row;
        colours.setColor(QPalette::WindowText, palette().color(pointed ? QPalette::HighlightedText
                                                                       : QPalette::WindowText));
        // The highlight text colour is meant for a highlight background; on
        // the dialog's face alone it would all but vanish.
        colours.setColor(QPalette::Window, palette().color(QPalette::Highlight));
        label->setAutoFillBackground(pointed);
        label->setPalette(colours);
    }
}

void TFormPeriod::setHoverColumn(int column)
{
    if (column == hoverColumn_)
        return;
    hoverColumn_ = column;
    DrawGridPeriod->InvalidateRow(0);
}

void TFormPeriod::setCells(bool value)
{
    if (cells_) {
        const TGridRect& s = DrawGridPeriod->Selection();
        for (int column = s.Left; column <= s.Right; ++column)
            for (int row = s.Top; row <= s.Bottom; ++row)
                cells_->SetCell(column, row, value);
    }
    DrawGridPeriod->update();
    TimerRefreshTimer();
    setModified(true);
}

void TFormPeriod::BitBtnActiveClick()
{
    setCells(true);
}

void TFormPeriod::BitBtnDisactivateClick()
{
    setCells(false);
}

void TFormPeriod::save()
{
    if (!modified_ || !cells_)
        return;
    // A file that cannot be created raises before anything changes; a failed
    // write has been told to the user and keeps the edits for another try.
    if (SaveSchedule(*cells_, schedulePath_))
        setModified(false);
}

void TFormPeriod::BitBtnOKClick()
{
    save();
    if (modified_ && cells_)
        return;
    accept();
}

void TFormPeriod::BitBtnApplyClick()
{
    save();
}

void TFormPeriod::BitBtnCancelClick()
{
    if (modified_ && cells_) {
        LoadSchedule(*cells_, schedulePath_);
        setModified(false);
        DrawGridPeriod->update();
    }
    reject();
}

void TFormPeriod::TimerRefreshTimer()
{
    if (refreshing_)
        return;
    refreshing_ = true;
    if (++refreshCounter_ > 15)
        refreshCounter_ = 0;
    // A full redraw now and then moves the current-time marker on.
    if (refreshCounter_ == 0)
        DrawGridPeriod->update();
    if (cells_) {
        try {
            LabelNextChange->setText(NextChangeText(*cells_, DayNameTable::English));
        } catch (const EIlxError&) {
            LabelNextChange->setText(QStringLiteral("Error"));
        }
    }
    refreshing_ = false;
}

void TFormPeriod::keyPressEvent(QKeyEvent* event)
{
    // Esc answers the first cancel-marked button, which is Deactivate.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        BitBtnDisactivate->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void OpenScheduleEditor(QWidget* owner, const QString& schedulePath)
{
    TFormPeriod editor(schedulePath, owner);
    editor.exec();
}
