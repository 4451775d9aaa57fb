#include "TDlgVideoSource.h"

#include "DemoScene.h"
#include "DialogButtons.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <gst/gst.h>
#include <gst/video/colorbalance.h>

#include <vector>

namespace {

struct ChannelRef
{
    GstColorBalanceChannel* channel;
    int original;
};

// References to the source and its channels, held while the dialog edits them.
struct BalanceRefs
{
    explicit BalanceRefs(GstElement* element)
        : source(GST_ELEMENT(gst_object_ref(element))), balance(GST_COLOR_BALANCE(source))
    {}
    BalanceRefs(const BalanceRefs&) = delete;
    BalanceRefs& operator=(const BalanceRefs&) = delete;
    ~BalanceRefs()
    {
        for (const ChannelRef& c : channels)
            gst_object_unref(c.channel);
        gst_object_unref(source);
    }

    GstElement* source;
    GstColorBalance* balance;
    std::vector<ChannelRef> channels;
};

// A period in whole seconds up to maxMs, 0 shown as "never".
QSpinBox* makeSecondsSpin(const char* name, int maxMs, int valueMs, QWidget* parent)
{
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(0, maxMs / 1000);
    spin->setSpecialValueText(QStringLiteral("never"));
    spin->setSuffix(QStringLiteral(" s"));
    spin->setValue(valueMs / 1000);
    return spin;
}

} // namespace

bool HasColourBalance(GstElement* element)
{
    if (!element || !GST_IS_COLOR_BALANCE(element))
        return false;
    return gst_color_balance_list_channels(GST_COLOR_BALANCE(element)) != nullptr;
}

TDlgVideoSource::TDlgVideoSource(DemoScene& scene, QWidget* parent,
                                 std::function<void(int seconds)> unplug)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("TDlgVideoSource"));
    setWindowTitle(QStringLiteral("Video source"));

    SpinEditPeriod =
        makeSecondsSpin("SpinEditPeriod", DemoScene::kMaxPeriodMs, scene.motionPeriodMs(), this);
    SpinEditNoise = new QSpinBox(this);
    SpinEditNoise->setObjectName(QStringLiteral("SpinEditNoise"));
    SpinEditNoise->setRange(0, DemoScene::kMaxNoise);
    SpinEditNoise->setValue(scene.noise());
    SpinEditLight =
        makeSecondsSpin("SpinEditLight", DemoScene::kMaxLightPeriodMs, scene.lightPeriodMs(), this);

    CheckBoxLampCorner = new QCheckBox(QStringLiteral("in a &corner of the room"), this);
    CheckBoxLampCorner->setObjectName(QStringLiteral("CheckBoxLampCorner"));
    CheckBoxLampCorner->setChecked(scene.lampInCorner());

    const int period = scene.motionPeriodMs();
    const int noise = scene.noise();
    const int light = scene.lightPeriodMs();
    const bool corner = scene.lampInCorner();
    restore_ = [&scene, period, noise, light, corner] {
        scene.setMotionPeriodMs(period);
        scene.setNoise(noise);
        scene.setLightPeriodMs(light);
        scene.setLampInCorner(corner);
    };
    connect(SpinEditPeriod, &QSpinBox::valueChanged, this,
            [&scene](int seconds) { scene.setMotionPeriodMs(seconds * 1000); });
    connect(SpinEditNoise, &QSpinBox::valueChanged, this,
            [&scene](int amplitude) { scene.setNoise(amplitude); });
    connect(SpinEditLight, &QSpinBox::valueChanged, this,
            [&scene](int seconds) { scene.setLightPeriodMs(seconds * 1000); });
    connect(CheckBoxLampCorner, &QCheckBox::toggled, this,
            [&scene](bool corner) { scene.setLampInCorner(corner); });

    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("An object crosses every:"), SpinEditPeriod);
    form->addRow(QStringLiteral("Sensor noise:"), SpinEditNoise);
    // A lamp switched off and on, so "Ignore light changes" can be seen at work.
    // A lamp in a corner lights the room unevenly: the near part far more.
    auto* lamp = new QHBoxLayout;
    lamp->addWidget(SpinEditLight);
    lamp->addWidget(CheckBoxLampCorner);
    form->addRow(QStringLiteral("The light goes off or on every:"), lamp);
    if (unplug) {
        // Pulls the camera out for a while, as a loose cable does, so the
        // program can be seen losing it and finding it again.
        SpinEditUnplug = new QSpinBox(this);
        SpinEditUnplug->setObjectName(QStringLiteral("SpinEditUnplug"));
        SpinEditUnplug->setRange(1, 3600);
        SpinEditUnplug->setSuffix(QStringLiteral(" s"));
        SpinEditUnplug->setValue(15);
        BitBtnUnplug = new QPushButton(QStringLiteral("&Unplug"), this);
        BitBtnUnplug->setObjectName(QStringLiteral("BitBtnUnplug"));
        auto* row = new QHBoxLayout;
        row->addWidget(SpinEditUnplug);
        row->addWidget(BitBtnUnplug);
        form->addRow(QStringLiteral("Unplug the camera for:"), row);
        connect(BitBtnUnplug, &QPushButton::clicked, this, [this, unplug] {
            const int seconds = SpinEditUnplug->value();
            accept();
            unplug(seconds);
        });
    }
    layout->addLayout(form);
    addButtons(layout);
}

TDlgVideoSource::TDlgVideoSource(GstElement* source, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TDlgVideoSource"));
    setWindowTitle(QStringLiteral("Video source"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    if (HasColourBalance(source)) {
        auto refs = std::make_shared<BalanceRefs>(source);
        for (const GList* l = gst_color_balance_list_channels(refs->balance); l; l = l->next) {
            auto* channel = GST_COLOR_BALANCE_CHANNEL(gst_object_ref(l->data));
            refs->channels.push_back(
                {channel, gst_color_balance_get_value(refs->balance, channel)});

            auto* slider = new QSlider(Qt::Horizontal, this);
            const QString label = QString::fromUtf8(channel->label);
            QString name = label;
            name.remove(QRegularExpression(QStringLiteral("[^A-Za-z0-9]")));
            slider->setObjectName(QStringLiteral("TrackBar") + name);
            slider->setRange(channel->min_value, channel->max_value);
            slider->setValue(refs->channels.back().original);
            connect(slider, &QSlider::valueChanged, this, [refs, channel](int v) {
                gst_color_balance_set_value(refs->balance, channel, v);
            });
            form->addRow(label + QLatin1Char(':'), slider);
            TrackBars.append(slider);
        }
        restore_ = [refs] {
            for (const ChannelRef& c : refs->channels)
                gst_color_balance_set_value(refs->balance, c.channel, c.original);
        };
    }
    if (TrackBars.isEmpty())
        form->addRow(new QLabel(QStringLiteral("This camera has no picture controls."), this));
    addButtons(layout);
}

void TDlgVideoSource::addButtons(QVBoxLayout* layout)
{
    const TDialogButtons buttons = MakeDialogButtons(this, false);
    BitBtnOK = buttons.OK;
    BitBtnCancel = buttons.Cancel;
    layout->addWidget(buttons.Box);
}

void TDlgVideoSource::done(int result)
{
    if (result != QDialog::Accepted && restore_)
        restore_();
    QDialog::done(result);
}
