// The reference for bench/dropout-memory: a bare pipeline that decodes a
// network camera into an appsink and, whenever the camera drops out, is torn
// down and built again until it answers; its resident memory after each
// return. It does the same GStreamer work the program does for a flaky
// camera, and nothing else.
//
//   capture_bare_dropouts <uri> <dropouts>
//
// Prints "UP <n> <rss kB>" each time pictures come (n from 0) and "DOWN <n>"
// when the camera is lost; ends after <dropouts> returns.
#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

namespace {

long ResidentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

// One pipeline's life: true once a picture came and the camera was then lost.
bool Watch(const std::string& uri, int n)
{
    const std::string line =
        "uridecodebin uri=" + uri +
        " ! videoconvert ! videoscale ! "
        "video/x-raw,format=BGRx,width=352,height=288 ! appsink name=sink max-buffers=1 drop=true";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(line.c_str(), &error);
    if (!pipeline) {
        if (error)
            g_error_free(error);
        return false;
    }
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    bool up = false;
    // A picture within 10 s, as the program allows a network camera.
    if (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 10 * GST_SECOND)) {
        gst_sample_unref(sample);
        up = true;
        std::printf("UP %d %ld\n", n, ResidentKb());
        std::fflush(stdout);
        // Pictures go on until the camera drops out.
        while (GstSample* more = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 5 * GST_SECOND))
            gst_sample_unref(more);
        std::printf("DOWN %d\n", n);
        std::fflush(stdout);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    return up;
}

} // namespace

int main(int argc, char** argv)
{
    gst_init(&argc, &argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: capture_bare_dropouts <uri> <dropouts>\n");
        return 2;
    }
    const std::string uri = argv[1];
    const int dropouts = std::atoi(argv[2]);
    for (int n = 0; n <= dropouts;) {
        if (Watch(uri, n))
            ++n;
        else
            std::this_thread::sleep_for(std::chrono::seconds(1));
    }
    return 0;
}
