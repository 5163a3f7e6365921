#include "player/mpv_client.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QLoggingCategory>
#include <algorithm>
#include <future>
#include <thread>
#include <utility>

namespace player::mpv {
namespace {

Q_LOGGING_CATEGORY(lcMpv, "flickerdeck.player", QtWarningMsg)

EndReason endReason(mpv_end_file_reason reason) {
    switch (reason) {
        case MPV_END_FILE_REASON_EOF:
            return EndReason::Eof;
        case MPV_END_FILE_REASON_STOP:
            return EndReason::Stop;
        case MPV_END_FILE_REASON_QUIT:
            return EndReason::Quit;
        case MPV_END_FILE_REASON_REDIRECT:
            return EndReason::Redirect;
        case MPV_END_FILE_REASON_ERROR:
            break;
    }
    return EndReason::Error;
}

int64_t entryIdOfReply(const mpv_event& event) {
    const auto* result = static_cast<const mpv_event_command*>(event.data);
    if (!result || result->result.format != MPV_FORMAT_NODE_MAP) return -1;
    const mpv_node_list* map = result->result.u.list;
    for (int i = 0; i < map->num; ++i)
        if (qstrcmp(map->keys[i], "playlist_entry_id") == 0 &&
            map->values[i].format == MPV_FORMAT_INT64)
            return map->values[i].u.int64;
    return -1;
}

constexpr char kVideoTrack[] = "current-tracks/video";
constexpr char kPosition[] = "time-pos";
constexpr char kLength[] = "duration";
constexpr char kEofReached[] = "eof-reached";

VideoTrackReply videoTrackReply(const mpv_event& event) {
    const auto* property = static_cast<const mpv_event_property*>(event.data);
    const auto* node = static_cast<const mpv_node*>(property->data);
    VideoTrackReply reply{event.reply_userdata, std::min(event.error, -1), 0, 0, 0.0, 0};
    if (event.error < 0 || property->format != MPV_FORMAT_NODE ||
        node->format != MPV_FORMAT_NODE_MAP)
        return reply;
    reply.error = 0;
    const mpv_node_list* map = node->u.list;
    for (int i = 0; i < map->num; ++i) {
        const mpv_node& value = map->values[i];
        const char* key = map->keys[i];
        if (value.format == MPV_FORMAT_INT64 && qstrcmp(key, "demux-w") == 0)
            reply.width = value.u.int64;
        else if (value.format == MPV_FORMAT_INT64 && qstrcmp(key, "demux-h") == 0)
            reply.height = value.u.int64;
        else if (value.format == MPV_FORMAT_INT64 && qstrcmp(key, "demux-rotation") == 0)
            reply.rotation = value.u.int64;
        else if (value.format == MPV_FORMAT_DOUBLE && qstrcmp(key, "demux-par") == 0)
            reply.pixelAspect = value.u.double_;
    }
    return reply;
}

std::optional<TimeReply> timeReply(const mpv_event& event) {
    const auto* property = static_cast<const mpv_event_property*>(event.data);
    const bool length = qstrcmp(property->name, kLength) == 0;
    if (!length && qstrcmp(property->name, kPosition) != 0) return std::nullopt;
    const bool ok = event.error >= 0 && property->format == MPV_FORMAT_DOUBLE;
    return TimeReply{event.reply_userdata, length ? TimeReply::Length : TimeReply::Position,
                     ok ? 0 : std::min(event.error, -1),
                     ok ? *static_cast<const double*>(property->data) : 0.0};
}

std::optional<Event> typed(const mpv_event& event) {
    switch (event.event_id) {
        case MPV_EVENT_COMMAND_REPLY:
            return CommandReply{event.reply_userdata, event.error, entryIdOfReply(event)};
        case MPV_EVENT_START_FILE:
            return StartFile{
                static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id};
        case MPV_EVENT_FILE_LOADED:
            return FileLoaded{};
        case MPV_EVENT_VIDEO_RECONFIG:
            return VideoReconfig{};
        case MPV_EVENT_PLAYBACK_RESTART:
            return PlaybackRestart{};
        case MPV_EVENT_PROPERTY_CHANGE: {
            const auto* change = static_cast<const mpv_event_property*>(event.data);
            const bool reached = qstrcmp(change->name, kEofReached) == 0 &&
                                 change->format == MPV_FORMAT_FLAG &&
                                 *static_cast<const int*>(change->data) != 0;
            return reached ? std::optional<Event>(EofReached{}) : std::nullopt;
        }
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<const mpv_event_end_file*>(event.data);
            return EndFile{end->playlist_entry_id, endReason(end->reason), end->error};
        }
        case MPV_EVENT_GET_PROPERTY_REPLY: {
            const auto* property = static_cast<const mpv_event_property*>(event.data);
            if (qstrcmp(property->name, kVideoTrack) == 0) return videoTrackReply(event);
            if (auto time = timeReply(event)) return *time;
            const bool ok = event.error >= 0 && property->format == MPV_FORMAT_INT64;
            return PropertyReply{event.reply_userdata, ok ? 0 : std::min(event.error, -1),
                                 ok ? *static_cast<const int64_t*>(property->data) : 0};
        }
        case MPV_EVENT_SHUTDOWN:
            return Shutdown{};
        default:
            return std::nullopt;
    }
}

}  // namespace

Client::Client(const Options& options, int64_t windowId, EventHandler handler)
    : handler_(std::move(handler)) {
    handle_ = mpv_create();
    if (!handle_) {
        error_ = QStringLiteral("mpv_create failed");
        return;
    }
    for (const auto& [name, value] : options)
        if (const int err = mpv_set_option_string(handle_, name.constData(), value.constData());
            err < 0)
            qCWarning(lcMpv) << "option" << name << "=" << value << ":" << mpv_error_string(err);
    if (windowId) mpv_set_option(handle_, "wid", MPV_FORMAT_INT64, &windowId);
    if (const int err = mpv_initialize(handle_); err < 0) {
        fail("mpv_initialize", err);
        return;
    }
    // A file kept open at its end says so only through this property: no end-of-file event.
    mpv_observe_property(handle_, 0, kEofReached, MPV_FORMAT_FLAG);
    mpv_set_wakeup_callback(handle_, &Client::wakeup, this);
}

Client::~Client() {
    terminate();
}

void Client::fail(const char* step, int error) {
    error_ =
        QStringLiteral("%1: %2").arg(QLatin1String(step), QLatin1String(mpv_error_string(error)));
    terminate();
}

void Client::terminate() {
    if (!handle_) return;
    if (renderer_) mpv_render_context_free(std::exchange(renderer_, nullptr));
    mpv_set_wakeup_callback(handle_, nullptr, nullptr);
    mpv_terminate_destroy(std::exchange(handle_, nullptr));
}

// Freeing the renderer waits for the core to let go of the picture, so a stuck core holds it up
// too: it is freed with the handle, once nothing can call back.
void Client::terminate(std::chrono::milliseconds patience) {
    if (!handle_) return;
    if (renderer_) mpv_render_context_set_update_callback(renderer_, nullptr, nullptr);
    mpv_set_wakeup_callback(handle_, nullptr, nullptr);
    auto destroyed = std::make_shared<std::promise<void>>();
    std::future<void> done = destroyed->get_future();
    std::thread([handle = std::exchange(handle_, nullptr),
                 renderer = std::exchange(renderer_, nullptr), destroyed] {
        if (renderer) mpv_render_context_free(renderer);
        mpv_terminate_destroy(handle);
        destroyed->set_value();
    }).detach();
    done.wait_for(patience);
}

void Client::wakeup(void* self) {
    auto* client = static_cast<Client*>(self);
    if (!client->drainPosted_.exchange(true))
        QMetaObject::invokeMethod(client, &Client::drain, Qt::QueuedConnection);
}

void Client::renderUpdate(void* self) {
    auto* client = static_cast<Client*>(self);
    if (!client->picturePosted_.exchange(true))
        QMetaObject::invokeMethod(client, &Client::offerPicture, Qt::QueuedConnection);
}

bool Client::startSoftwareRendering(std::function<void()> pictureReady) {
    if (!handle_) return false;
    char api[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param parameters[] = {{MPV_RENDER_PARAM_API_TYPE, api},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
    if (const int err = mpv_render_context_create(&renderer_, handle_, parameters); err < 0) {
        renderer_ = nullptr;
        fail("mpv_render_context_create", err);
        return false;
    }
    pictureReady_ = std::move(pictureReady);
    mpv_render_context_set_update_callback(renderer_, &Client::renderUpdate, this);
    return true;
}

void Client::offerPicture() {
    picturePosted_ = false;
    if (renderer_ && (mpv_render_context_update(renderer_) & MPV_RENDER_UPDATE_FRAME))
        pictureReady_();
}

void Client::renderPicture(QSize size, size_t stride, void* pixels) {
    if (!renderer_ || size.isEmpty()) return;
    int dimensions[] = {size.width(), size.height()};
    // With the alpha byte set as Qt wants it, where the formats that leave it alone do not.
    const char* format = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? "bgra" : "argb";
    mpv_render_param parameters[] = {{MPV_RENDER_PARAM_SW_SIZE, dimensions},
                                     {MPV_RENDER_PARAM_SW_FORMAT, const_cast<char*>(format)},
                                     {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                     {MPV_RENDER_PARAM_SW_POINTER, pixels},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(renderer_, parameters);
}

void Client::skipPicture() {
    if (!renderer_) return;
    int skip = 1;
    mpv_render_param parameters[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(renderer_, parameters);
}

void Client::drain() {
    drainPosted_ = false;
    while (handle_) {
        const mpv_event* event = mpv_wait_event(handle_, 0);
        if (event->event_id == MPV_EVENT_NONE) break;
        if (auto e = typed(*event)) handler_(*e);
    }
}

// Named arguments: the positions of loadfile's arguments differ between libmpv versions.
void Client::loadFile(uint64_t tag, const QString& path, const QByteArray& fileOptions) {
    if (!handle_) return;
    const QByteArray utf8 = path.toUtf8();
    auto text = [](const char* value) {
        mpv_node node{};
        node.format = MPV_FORMAT_STRING;
        node.u.string = const_cast<char*>(value);
        return node;
    };
    const char* keys[] = {"name", "url", "flags", "options"};
    mpv_node values[] = {text("loadfile"), text(utf8.constData()), text("replace"),
                         text(fileOptions.constData())};
    mpv_node_list map{static_cast<int>(std::size(values)), values, const_cast<char**>(keys)};
    mpv_node command{};
    command.format = MPV_FORMAT_NODE_MAP;
    command.u.list = &map;
    if (const int err = mpv_command_node_async(handle_, tag, &command); err < 0) {
        qCWarning(lcMpv) << "loadfile:" << mpv_error_string(err);
        handler_(CommandReply{tag, err, -1});
    }
}

void Client::setOptions(const Options& options) {
    if (!handle_) return;
    for (const auto& [name, value] : options) {
        const char* text = value.constData();
        mpv_set_property_async(handle_, 0, name.constData(), MPV_FORMAT_STRING, &text);
    }
}

void Client::stop() {
    if (!handle_) return;
    const char* args[] = {"stop", nullptr};
    mpv_command_async(handle_, 0, args);
}

void Client::requestInt64(uint64_t tag, const char* property) {
    if (!handle_) return;
    if (const int err = mpv_get_property_async(handle_, tag, property, MPV_FORMAT_INT64); err < 0)
        handler_(PropertyReply{tag, err, 0});
}

void Client::requestVideoTrack(uint64_t tag) {
    if (!handle_) return;
    if (const int err = mpv_get_property_async(handle_, tag, kVideoTrack, MPV_FORMAT_NODE); err < 0)
        handler_(VideoTrackReply{tag, err, 0, 0, 0.0, 0});
}

void Client::requestTimes(uint64_t tag) {
    if (!handle_) return;
    for (const char* name : {kPosition, kLength})
        if (const int err = mpv_get_property_async(handle_, tag, name, MPV_FORMAT_DOUBLE); err < 0)
            handler_(TimeReply{tag, name == kLength ? TimeReply::Length : TimeReply::Position, err,
                               0.0});
}

QString Client::property(const char* name) const {
    if (!handle_) return {};
    char* value = mpv_get_property_string(handle_, name);
    const QString text = value ? QString::fromUtf8(value) : QString();
    mpv_free(value);
    return text;
}

}  // namespace player::mpv
