// GLib's headers name struct members "signals": this file is built without
// the toolkit's keywords.
#include "TSecretStore.h"

#include "ProductTexts.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFileInfo>

#include <libsecret/secret.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace {

constexpr const char* kBusName = "org.freedesktop.secrets";
// A cancelled call answers at once; one that does not is left behind.
constexpr int kCancelGraceMs = 200;

const SecretSchema* Schema()
{
    static const SecretSchema schema = {"org.ilumerix.LightEdition.NetworkCamera",
                                        SECRET_SCHEMA_NONE,
                                        {{"application", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"settings", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {"camera", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                         {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING}},
                                        0,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr,
                                        nullptr};
    return &schema;
}

struct GObjectUnref
{
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GRef = std::unique_ptr<T, GObjectUnref>;

struct GHashTableUnref
{
    void operator()(GHashTable* table) const { g_hash_table_unref(table); }
};
using GHashTableRef = std::unique_ptr<GHashTable, GHashTableUnref>;

struct GItemListFree
{
    void operator()(GList* list) const { g_list_free_full(list, g_object_unref); }
};
using GItemList = std::unique_ptr<GList, GItemListFree>;

struct GVariantUnref
{
    void operator()(GVariant* v) const { g_variant_unref(v); }
};
using GVariantRef = std::unique_ptr<GVariant, GVariantUnref>;

struct SecretValueUnref
{
    void operator()(SecretValue* v) const { secret_value_unref(v); }
};
using SecretValueRef = std::unique_ptr<SecretValue, SecretValueUnref>;

struct GSourceDestroy
{
    void operator()(GSource* source) const
    {
        g_source_destroy(source);
        g_source_unref(source);
    }
};
using GSourceRef = std::unique_ptr<GSource, GSourceDestroy>;

// One call in flight, and where its callback leaves the result. A call the
// wait gave up on keeps it until the store goes, since its callback may
// still come while the private context runs for a later call.
struct Pending
{
    Pending() = default;
    Pending(const Pending&) = delete;
    Pending& operator=(const Pending&) = delete;
    ~Pending()
    {
        if (result)
            g_object_unref(result);
    }
    GAsyncResult* result = nullptr; // owned
};

void OnCallDone(GObject*, GAsyncResult* result, gpointer data)
{
    auto* pending = static_cast<Pending*>(data);
    if (!pending->result)
        pending->result = G_ASYNC_RESULT(g_object_ref(result));
}

GSourceRef Alarm(GMainContext* context, int ms, bool* rang)
{
    GSourceRef alarm(g_timeout_source_new(guint(std::max(ms, 0))));
    g_source_set_callback(
        alarm.get(),
        [](gpointer flag) {
            *static_cast<bool*>(flag) = true;
            return gboolean(G_SOURCE_REMOVE);
        },
        rang, nullptr);
    g_source_attach(alarm.get(), context);
    return alarm;
}

// A session bus the environment names, or the user's own in the runtime
// folder; never one started on demand, as the library would otherwise try:
// without a session bus there is no keyring to wait for.
bool SessionBusNamed()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
    }
    return true;
}

GHashTableRef Attributes(const QString& settingsFile, const QString* camera = nullptr)
{
    GHashTableRef table(g_hash_table_new_full(g_str_hash, g_str_equal, g_free, g_free));
    g_hash_table_insert(table.get(), g_strdup("application"), g_strdup(kProductDesktopId));
    g_hash_table_insert(table.get(), g_strdup("settings"),
                        g_strdup(settingsFile.toUtf8().constData()));
    if (camera)
        g_hash_table_insert(table.get(), g_strdup("camera"),
                            g_strdup(camera->toUtf8().constData()));
    return table;
}

} // namespace

struct TSecretStore::Impl
{
    enum class State
    {
        Unknown,
        Usable,
        Unusable
    };

    Impl() : context(g_main_context_new()) {}
    ~Impl()
    {
        // The service's proxies deliver to the private context: they go first.
        service.reset();
        connection.reset();
        // Their subscriptions are freed from the context's idle calls.
        for (int i = 0; i < 100 && g_main_context_iteration(context, FALSE); ++i) {
        }
        g_main_context_unref(context);
        // No callback can come now: nothing runs the private context.
        abandoned.clear();
    }

    using Start = std::function<void(GCancellable*, GAsyncReadyCallback, gpointer)>;
    GRef<GAsyncResult> Call(const Start& start, int ms);
    bool Reach();
    bool Fail()
    {
        state = State::Unusable;
        return false;
    }

    State state = State::Unknown;
    std::optional<QDeadlineTimer> errand; // the end of the errand's time
    GMainContext* context;                // every callback of the keyring's calls runs here
    GRef<GDBusConnection> connection;
    GRef<SecretService> service;
    std::vector<std::unique_ptr<Pending>> abandoned;
    std::map<QString, QMap<QString, QString>> known; // by settings file
};

/*!
 * \brief Runs one asynchronous call on the private context and waits for it,
 *        at most \a ms milliseconds; a call that takes longer is cancelled.
 * \return its result, or null when it did not answer in time.
 */
GRef<GAsyncResult> TSecretStore::Impl::Call(const Start& start, int ms)
{
    if (errand) {
        if (errand->hasExpired())
            return {};
        ms = int(std::min<qint64>(ms, errand->remainingTime()));
    }
    g_main_context_push_thread_default(context);
    GRef<GCancellable> cancellable(g_cancellable_new());
    auto pending = std::make_unique<Pending>();
    start(cancellable.get(), OnCallDone, pending.get());
    bool late = false;
    {
        const GSourceRef alarm = Alarm(context, ms, &late);
        while (!pending->result && !late)
            g_main_context_iteration(context, TRUE);
    }
    if (!pending->result) {
        g_cancellable_cancel(cancellable.get());
        bool given = false;
        const GSourceRef alarm = Alarm(context, kCancelGraceMs, &given);
        while (!pending->result && !given)
            g_main_context_iteration(context, TRUE);
    }
    GRef<GAsyncResult> result(std::exchange(pending->result, nullptr));
    if (!result)
        abandoned.push_back(std::move(pending));
    g_main_context_pop_thread_default(context);
    return result;
}

/*!
 * \brief Connects to the session bus and opens the keyring when its name has
 *        an owner, all within kReachMs.
 */
bool TSecretStore::Impl::Reach()
{
    if (!SessionBusNamed())
        return Fail();
    QElapsedTimer spent;
    spent.start();
    const auto left = [&] {
        return std::max(kReachMs - int(spent.elapsed()), 1);
    };

    // The session bus as the library shares it; its going away must not end
    // the program, as it would by default.
    auto r = Call([](GCancellable* c, GAsyncReadyCallback cb,
                     gpointer data) { g_bus_get(G_BUS_TYPE_SESSION, c, cb, data); },
                  left());
    if (!r)
        return Fail();
    connection.reset(g_bus_get_finish(r.get(), nullptr));
    if (!connection)
        return Fail();
    g_dbus_connection_set_exit_on_close(connection.get(), FALSE);

    r = Call(
        [&](GCancellable* c, GAsyncReadyCallback cb, gpointer data) {
            g_dbus_connection_call(connection.get(), "org.freedesktop.DBus",
                                   "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                                   g_variant_new("(s)", kBusName), G_VARIANT_TYPE("(b)"),
                                   G_DBUS_CALL_FLAGS_NONE, left(), c, cb, data);
        },
        left());
    if (!r)
        return Fail();
    const GVariantRef owned(g_dbus_connection_call_finish(connection.get(), r.get(), nullptr));
    gboolean hasOwner = FALSE;
    if (!owned)
        return Fail();
    g_variant_get(owned.get(), "(b)", &hasOwner);
    if (!hasOwner)
        return Fail();

    // A service object of its own, not the library's shared one, so that
    // forgetting it leaves nothing behind.
    r = Call(
        [](GCancellable* c, GAsyncReadyCallback cb, gpointer data) {
            secret_service_open(SECRET_TYPE_SERVICE, nullptr, SECRET_SERVICE_OPEN_SESSION, c, cb,
                                data);
        },
        left());
    if (!r)
        return Fail();
    service.reset(secret_service_open_finish(r.get(), nullptr));
    if (!service)
        return Fail();
    state = State::Usable;
    return true;
}

TSecretStore::TSecretStore() : d_(std::make_unique<Impl>()) {}

TSecretStore::Allowance::Allowance(TSecretStore& store) : store_(store), outer_(!store.d_->errand)
{
    if (outer_)
        store_.d_->errand = QDeadlineTimer(kErrandMs);
}

TSecretStore::Allowance::~Allowance()
{
    if (outer_)
        store_.d_->errand.reset();
}

TSecretStore::~TSecretStore() = default;

bool TSecretStore::Usable()
{
    if (d_->state == Impl::State::Unknown)
        d_->Reach();
    return d_->state == Impl::State::Usable;
}

std::optional<QMap<QString, QString>> TSecretStore::Passwords(const QString& settingsFile)
{
    if (!Usable())
        return std::nullopt;
    const GHashTableRef attributes = Attributes(settingsFile);
    const auto r = d_->Call(
        [&](GCancellable* c, GAsyncReadyCallback cb, gpointer data) {
            // Locked items are listed but not opened: opening one would prompt.
            secret_service_search(d_->service.get(), Schema(), attributes.get(),
                                  SecretSearchFlags(SECRET_SEARCH_ALL | SECRET_SEARCH_LOAD_SECRETS),
                                  c, cb, data);
        },
        kCallMs);
    if (!r) {
        d_->Fail();
        return std::nullopt;
    }
    GError* error = nullptr;
    const GItemList items(secret_service_search_finish(d_->service.get(), r.get(), &error));
    if (error) {
        g_error_free(error);
        d_->Fail();
        return std::nullopt;
    }
    QMap<QString, QString> passwords;
    for (GList* l = items.get(); l; l = l->next) {
        auto* item = static_cast<SecretItem*>(l->data);
        const GHashTableRef found(secret_item_get_attributes(item));
        const auto* camera = static_cast<const char*>(g_hash_table_lookup(found.get(), "camera"));
        const SecretValueRef value(secret_item_get_secret(item));
        const char* text = value ? secret_value_get_text(value.get()) : nullptr;
        // A password that cannot be read now might still be the camera's.
        if (!camera || !text) {
            d_->Fail();
            return std::nullopt;
        }
        passwords.insert(QString::fromUtf8(camera), QString::fromUtf8(text));
    }
    d_->known[settingsFile] = passwords;
    return passwords;
}

bool TSecretStore::Store(const QString& settingsFile, const QString& camera,
                         const QString& password)
{
    if (!Usable())
        return false;
    const GHashTableRef attributes = Attributes(settingsFile, &camera);
    const QByteArray label =
        QStringLiteral("i-Lumerix network camera \u201c%1\u201d").arg(camera).toUtf8();
    const QByteArray secret = password.toUtf8();
    const SecretValueRef value(secret_value_new(secret.constData(), secret.size(), "text/plain"));
    const auto r = d_->Call(
        [&](GCancellable* c, GAsyncReadyCallback cb, gpointer data) {
            secret_service_store(d_->service.get(), Schema(), attributes.get(),
                                 SECRET_COLLECTION_DEFAULT, label.constData(), value.get(), c, cb,
                                 data);
        },
        kCallMs);
    if (!r || !secret_service_store_finish(d_->service.get(), r.get(), nullptr))
        return d_->Fail();
    d_->known[settingsFile].insert(camera, password);
    return true;
}

bool TSecretStore::Remove(const QString& settingsFile, const QString& camera)
{
    if (!Usable())
        return false;
    const GHashTableRef attributes = Attributes(settingsFile, &camera);
    const auto r = d_->Call(
        [&](GCancellable* c, GAsyncReadyCallback cb, gpointer data) {
            secret_service_clear(d_->service.get(), Schema(), attributes.get(), c, cb, data);
        },
        kCallMs);
    if (!r)
        return d_->Fail();
    GError* error = nullptr;
    secret_service_clear_finish(d_->service.get(), r.get(), &error);
    if (error) {
        g_error_free(error);
        return d_->Fail();
    }
    d_->known[settingsFile].remove(camera);
    return true;
}

void TSecretStore::ForgetKnown(const QString& settingsFile)
{
    d_->known.erase(settingsFile);
}

QMap<QString, QString> TSecretStore::Known(const QString& settingsFile) const
{
    const auto it = d_->known.find(settingsFile);
    return it == d_->known.end() ? QMap<QString, QString>() : it->second;
}

namespace {

std::unique_ptr<TSecretStore>& Current()
{
    static std::unique_ptr<TSecretStore> store;
    return store;
}

} // namespace

TSecretStore& SecretStore()
{
    if (!Current())
        Current() = std::make_unique<TSecretStore>();
    return *Current();
}

void ForgetSecretStore()
{
    Current().reset();
}
