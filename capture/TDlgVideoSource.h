#pragma once

#include <QDialog>
#include <QList>

#include <functional>

class DemoScene;
class QCheckBox;
class QPushButton;
class QSlider;
class QSpinBox;
typedef struct _GstElement GstElement;

// The capture driver's source dialog. For a camera: one slider for each
// colour-balance control it has (brightness, contrast, ...). For the demo
// camera: its motion period and sensor noise. Changes apply at once, so the
// preview shows them; Cancel puts the values back as they were.
class TDlgVideoSource : public QDialog
{
    Q_OBJECT

public:
    // `unplug`, when given, offers to pull the demo camera out for a while.
    TDlgVideoSource(DemoScene& scene, QWidget* parent = nullptr,
                    std::function<void(int seconds)> unplug = {});
    TDlgVideoSource(GstElement* colourBalanceSource, QWidget* parent = nullptr);

    // Demo camera controls (null for a camera).
    QSpinBox* SpinEditPeriod = nullptr; // seconds; 0 = no object
    QSpinBox* SpinEditNoise = nullptr;
    QSpinBox* SpinEditLight = nullptr;       // seconds; 0 = the light stays on
    QCheckBox* CheckBoxLampCorner = nullptr; // the lamp lights one corner
    QSpinBox* SpinEditUnplug = nullptr;
    QPushButton* BitBtnUnplug = nullptr;
    // Camera controls, in the camera's order; objectName "TrackBar" + label.
    QList<QSlider*> TrackBars;
    QPushButton* BitBtnOK = nullptr;
    QPushButton* BitBtnCancel = nullptr;

    void done(int result) override;

private:
    void addButtons(class QVBoxLayout* layout);

    std::function<void()> restore_;
};

// True when the element has colour-balance controls to show.
bool HasColourBalance(GstElement* element);
