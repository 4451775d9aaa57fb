#pragma once

#include "ScanFrameGeometry.h"
#include "TScanHost.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

class TMRControl;
class TPanelTrans;
class QWidget;

// What the scan frame needs from the main window: where the video view and
// the frozen still are (in the frame's parent coordinates), whether the video
// is active, and status panel 0 for the drag texts.
class TScanFrameHost
{
public:
    virtual ~TScanFrameHost() = default;
    virtual QRect VideoViewRect() const = 0;
    virtual bool VideoViewVisible() const = 0;
    virtual QRect FreezeRect() const = 0;
    virtual bool VideoActive() const = 0;
    virtual void ShowStatusHint(const QString& text) = 0;
};

// The scan frame over the video view: the panel PanelTransFrame, its mover
// MRControlFrame and the handlers that tie them to the four percentages.
// User-interface thread only.
class TScanFrame : public QObject
{
    Q_OBJECT

public:
    // The panel becomes a child of frameParent (the widget holding the video view).
    TScanFrame(TScanFrameHost& host, QWidget* frameParent);
    ~TScanFrame() override;

    TPanelTrans* PanelTransFrame() const { return panel_; }
    TMRControl& MRControlFrame() const { return *mover_; }

    const ScanFrameGeometry::Percents& Percents() const { return percents_; }
    void SetPercents(const ScanFrameGeometry::Percents& percents);
    ScanFrameGeometry::DragMode FrameDragMode() const { return dragMode_; }

    // Visible exactly when on and the video is active.
    void ShowFrame(bool on);
    bool Shown() const;
    // What the comparison and the picture save receive.
    TScanArea Area() const;
    void PlaceFrame();
    // Locked while scanning or zoomed: disabled, no size grip.
    void SetLocked(bool locked);

private:
    void PanelTransFramePosChanging(int& x, int& y, int& width, int& height);
    void MRControlFrameEndMoveCtrl();
    void MRControlFrameEndResizeCtrl(QPoint size);

    TScanFrameHost& host_;
    TPanelTrans* panel_; // owned by its parent widget
    std::unique_ptr<TMRControl> mover_;
    ScanFrameGeometry::Percents percents_;
    ScanFrameGeometry::DragMode dragMode_ = ScanFrameGeometry::DragMode::Placing;
};
