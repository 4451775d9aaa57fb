// A network camera for the tests, on 127.0.0.1 only: colour bars sliding sideways
// served over RTSP (H.264 at /h264, MJPEG at /mjpeg) or as HTTP MJPEG
// (multipart JPEG at any path). Prints "READY <port>" once it listens and
// runs until it is killed. "ball" instead shows a small ball bouncing on
// black, a quiet scene whose changes stay under the default thresholds.
// With --auth=user:password the HTTP camera asks for them (basic
// authentication) and refuses any other.
//
//   ilx_camera_server rtsp|http [--auth=user:password] [port] [width height fps] [bars|ball]
#include <QCoreApplication>
#include <QMap>
#include <QMetaObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/rtsp-server/rtsp-server.h>

#include <sys/prctl.h>

#include <csignal>
#include <cstdio>

namespace {

struct Shape
{
    int width = 320;
    int height = 240;
    int fps = 25;
    bool quiet = false; // the ball instead of the sliding bars
};

QByteArray Pattern(const Shape& s)
{
    return QStringLiteral("videotestsrc is-live=true %1 ! "
                          "video/x-raw,width=%2,height=%3,framerate=%4/1")
        .arg(s.quiet ? "pattern=ball" : "pattern=smpte horizontal-speed=2")
        .arg(s.width)
        .arg(s.height)
        .arg(s.fps)
        .toUtf8();
}

int ServeRtsp(int port, const Shape& shape)
{
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    GstRTSPServer* server = gst_rtsp_server_new();
    g_object_set(server, "address", "127.0.0.1", "service", QByteArray::number(port).constData(),
                 nullptr);
    GstRTSPMountPoints* mounts = gst_rtsp_server_get_mount_points(server);
    const auto mount = [&](const char* path, const QByteArray& tail) {
        GstRTSPMediaFactory* factory = gst_rtsp_media_factory_new();
        const QByteArray launch = "( " + Pattern(shape) + " ! " + tail + " )";
        gst_rtsp_media_factory_set_launch(factory, launch.constData());
        gst_rtsp_media_factory_set_shared(factory, TRUE);
        gst_rtsp_mount_points_add_factory(mounts, path, factory);
    };
    mount("/h264", "x264enc tune=zerolatency speed-preset=ultrafast key-int-max=25 ! "
                   "rtph264pay name=pay0 pt=96");
    // The RTP JPEG payload carries 4:2:0 pictures only.
    mount("/mjpeg", "videoconvert ! video/x-raw,format=I420 ! jpegenc quality=80 ! "
                    "rtpjpegpay name=pay0 pt=26");
    g_object_unref(mounts);
    if (gst_rtsp_server_attach(server, nullptr) == 0) {
        std::fprintf(stderr, "camera server: cannot listen on port %d\n", port);
        return 1;
    }
    std::printf("READY %d\n", gst_rtsp_server_get_bound_port(server));
    std::fflush(stdout);
    g_main_loop_run(loop);
    return 0;
}

// HTTP MJPEG: every client gets the multipart stream from its request on.
class HttpMjpeg : public QObject
{
public:
    HttpMjpeg(const Shape& shape, QByteArray credentials) : credentials_(std::move(credentials))
    {
        const QByteArray line = Pattern(shape) + " ! jpegenc quality=80 ! appsink name=sink "
                                                 "max-buffers=1 drop=true sync=false";
        pipeline_ = gst_parse_launch(line.constData(), nullptr);
        GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline_), "sink");
        GstAppSinkCallbacks callbacks{};
        callbacks.new_sample = &HttpMjpeg::OnSample;
        gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
        gst_object_unref(sink);
        connect(&server_, &QTcpServer::newConnection, this, &HttpMjpeg::Accept);
    }
    bool Listen(int port)
    {
        if (!server_.listen(QHostAddress::LocalHost, quint16(port)))
            return false;
        gst_element_set_state(pipeline_, GST_STATE_PLAYING);
        return true;
    }
    int Port() const { return server_.serverPort(); }

private:
    // Streaming thread: the picture goes to the event loop's thread.
    static GstFlowReturn OnSample(GstAppSink* sink, gpointer user)
    {
        auto* self = static_cast<HttpMjpeg*>(user);
        GstSample* sample = gst_app_sink_pull_sample(sink);
        GstMapInfo map;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            QByteArray jpeg(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
            gst_buffer_unmap(buffer, &map);
            QMetaObject::invokeMethod(
                self, [self, jpeg] { self->Send(jpeg); }, Qt::QueuedConnection);
        }
        gst_sample_unref(sample);
        return GST_FLOW_OK;
    }
    void Accept()
    {
        while (QTcpSocket* client = server_.nextPendingConnection()) {
            connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
            connect(client, &QTcpSocket::readyRead, this, [this, client] {
                QByteArray& request = requests_[client];
                request += client->readAll();
                if (!request.contains("\r\n\r\n"))
                    return;
                if (!credentials_.isEmpty() &&
                    !request.contains("Authorization: Basic " + credentials_.toBase64())) {
                    client->write("HTTP/1.0 401 Unauthorized\r\n"
                                  "WWW-Authenticate: Basic realm=\"camera\"\r\n"
                                  "Content-Length: 0\r\n\r\n");
                    client->disconnectFromHost();
                    return;
                }
                requests_.remove(client);
                client->write("HTTP/1.0 200 OK\r\n"
                              "Content-Type: multipart/x-mixed-replace; boundary=frame\r\n"
                              "Cache-Control: no-cache\r\n\r\n");
                clients_.append(client);
            });
        }
    }
    void Send(const QByteArray& jpeg)
    {
        const QByteArray head = "--frame\r\nContent-Type: image/jpeg\r\nContent-Length: " +
                                QByteArray::number(jpeg.size()) + "\r\n\r\n";
        for (const QPointer<QTcpSocket>& client : std::as_const(clients_)) {
            // A client that reads slowly misses pictures rather than lag behind.
            if (client && client->state() == QAbstractSocket::ConnectedState &&
                client->bytesToWrite() < 4 * jpeg.size())
                client->write(head + jpeg + "\r\n");
        }
    }

    QByteArray credentials_; // user:password asked for; empty: none
    QMap<QTcpSocket*, QByteArray> requests_;
    GstElement* pipeline_ = nullptr;
    QTcpServer server_;
    QList<QPointer<QTcpSocket>> clients_;
};

} // namespace

int main(int argc, char** argv)
{
    // A test that dies leaves no server behind holding its port.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    gst_init(&argc, &argv);
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    QByteArray credentials;
    for (qsizetype i = args.size() - 1; i > 0; --i) {
        if (args[i].startsWith(QLatin1String("--auth="))) {
            credentials = args[i].mid(7).toUtf8();
            args.removeAt(i);
        }
    }
    if (args.size() < 2 || (args[1] != "rtsp" && args[1] != "http")) {
        std::fprintf(stderr, "usage: ilx_camera_server rtsp|http [--auth=user:password] [port] "
                             "[width height fps] [bars|ball]\n");
        return 2;
    }
    const int port = args.size() > 2 ? args[2].toInt() : 0;
    Shape shape;
    if (args.size() > 5)
        shape = {args[3].toInt(), args[4].toInt(), args[5].toInt()};
    shape.quiet = args.size() > 6 && args[6] == "ball";
    if (args[1] == "rtsp")
        return ServeRtsp(port, shape);
    HttpMjpeg http(shape, credentials);
    if (!http.Listen(port)) {
        std::fprintf(stderr, "camera server: cannot listen on port %d\n", port);
        return 1;
    }
    std::printf("READY %d\n", http.Port());
    std::fflush(stdout);
    return app.exec();
}
