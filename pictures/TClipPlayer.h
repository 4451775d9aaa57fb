#pragma once

#include <QImage>
#include <QObject>
#include <QString>
#include <QThreadPool>

#include <cstdint>
#include <memory>

class QTimer;
typedef struct _GstElement GstElement;

// Plays one event video clip as a run of frames for a picture box. GStreamer
// decodes and paces the frames on its own threads and every state change
// runs on a worker, so no call here waits on the pipeline; frames, the end
// and failures are signalled on the thread that owns the player (the GUI
// thread). Display-free.
class TClipPlayer : public QObject
{
    Q_OBJECT

public:
    enum class TState
    {
        Stopped,
        Playing,
        Paused,
        Ended // the last frame stays; Resume plays the clip again
    };

    explicit TClipPlayer(QObject* parent = nullptr);
    ~TClipPlayer() override;

    void Play(const QString& file);
    void Resume();
    void Pause();
    void Stop();

    TState State() const { return state_; }
    const QString& File() const { return file_; }
    // A clip that shows no frame within this counts as unplayable.
    void SetFirstFrameTimeout(int ms);

signals:
    void FrameReady(const QImage& frame);
    void Started();
    void Paused();
    void Stopped();
    void Ended();
    // Playback has stopped; the reason is GStreamer's or ours, for the user.
    void Failed(const QString& reason);

private:
    struct TRun;

    struct TGstUnref
    {
        void operator()(GstElement* element) const;
    };

    void Release();
    void Drive(bool play, bool rewind);
    void TakeFrame(std::uint64_t run);
    void RunEnded(std::uint64_t run);
    void RunFailed(std::uint64_t run, const QString& reason);

    // Serialises the pipeline's state changes, in the order asked.
    QThreadPool workers_;
    std::shared_ptr<TRun> run_;
    // Handed to a worker to be stopped and let go.
    std::unique_ptr<GstElement, TGstUnref> pipeline_;
    std::uint64_t generation_ = 0;
    TState state_ = TState::Stopped;
    QString file_;
    bool framed_ = false;
    QTimer* firstFrame_ = nullptr;
};
