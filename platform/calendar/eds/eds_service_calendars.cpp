// The calendar-service plugin: every enabled calendar of Evolution Data Server, which is
// where GNOME keeps Online Accounts calendars (Google, Nextcloud, CalDAV, Exchange).

#include <libecal/libecal.h>
#include <libedataserver/libedataserver.h>

#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <thread>

#include "platform/calendar/eds/eds_event_rules.h"
#include "platform/calendar/eds_calendars.h"

namespace vorlane::eds {

namespace {

constexpr const char* sourcesService = "org.gnome.evolution.dataserver.Sources5";
constexpr const char* calendarService = "org.gnome.evolution.dataserver.Calendar8";
constexpr int busCallTimeoutMs = 2000;

struct ObjectUnref {
  void operator()(gpointer object) const { g_object_unref(object); }
};
template <class T>
using Owned = std::unique_ptr<T, ObjectUnref>;

struct SourceList {
  GList* list;
  explicit SourceList(GList* l) : list(l) {}
  ~SourceList() { g_list_free_full(list, g_object_unref); }
  SourceList(const SourceList&) = delete;
  SourceList& operator=(const SourceList&) = delete;
};

std::string messageOf(GError* error) {
  std::string message = error != nullptr ? error->message : "unknown error";
  g_clear_error(&error);
  return message;
}

// The names the bus has or can start.
bool busOffers(GDBusConnection* bus, const char* method, const char* name) {
  GError* error = nullptr;
  GVariant* reply = g_dbus_connection_call_sync(
      bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", method, nullptr,
      G_VARIANT_TYPE("(as)"), G_DBUS_CALL_FLAGS_NONE, busCallTimeoutMs, nullptr, &error);
  if (reply == nullptr) throw std::runtime_error(messageOf(error));
  bool found = false;
  GVariant* names = g_variant_get_child_value(reply, 0);
  gsize count = 0;
  const gchar** list = g_variant_get_strv(names, &count);
  for (gsize i = 0; i < count && !found; ++i) found = g_strcmp0(list[i], name) == 0;
  g_free(list);
  g_variant_unref(names);
  g_variant_unref(reply);
  return found;
}

bool serviceReachable(GDBusConnection* bus, const char* name) {
  return busOffers(bus, "ListActivatableNames", name) || busOffers(bus, "ListNames", name);
}

struct InstanceContext {
  icaltimezone* zone;
  CalendarZones calendarZones;
  const std::set<std::string>* addresses;
  const CancelToken* cancel;
  std::vector<ServiceOccurrence> occurrences;
};

gboolean takeInstance(ICalComponent* component, ICalTime* start, ICalTime* end, gpointer data,
                      GCancellable*, GError**) {
  auto* context = static_cast<InstanceContext*>(data);
  if (context->cancel->cancelled()) return FALSE;
  auto* event = static_cast<icalcomponent*>(i_cal_object_get_native(I_CAL_OBJECT(component)));
  auto* from = static_cast<icaltimetype*>(i_cal_object_get_native(I_CAL_OBJECT(start)));
  auto* to = static_cast<icaltimetype*>(i_cal_object_get_native(I_CAL_OBJECT(end)));
  if (from == nullptr || to == nullptr) return TRUE;
  if (auto occurrence = serviceOccurrence(event, *from, *to, context->zone, context->calendarZones,
                                          *context->addresses)) {
    context->occurrences.push_back(std::move(*occurrence));
  }
  return TRUE;
}

class ServiceCalendars final : public EdsCalendars {
 public:
  explicit ServiceCalendars(std::string zoneID) : zoneID_(std::move(zoneID)) {}

  ~ServiceCalendars() override {
    clients_.clear();
    registry_.reset();
    bus_.reset();
    if (context_ != nullptr) {
      g_main_context_pop_thread_default(context_);
      g_main_context_unref(context_);
    }
  }

  Reading read(DateInterval interval, const CancelToken& cancel) override {
    if (context_ == nullptr) {
      // The registry and the clients belong to this thread's own main context; the thread
      // runs nothing else, so it stays pushed for good.
      context_ = g_main_context_new();
      g_main_context_push_thread_default(context_);
      thread_ = std::this_thread::get_id();
    }
    if (thread_ != std::this_thread::get_id()) {
      throw std::logic_error("the calendar service is read from one thread only");
    }
    Reading reading;
    reading.availability = connectBus();
    if (reading.availability != Availability::available) return reading;
    if (!registry_) {
      GError* error = nullptr;
      registry_.reset(e_source_registry_new_sync(nullptr, &error));
      if (!registry_) throw std::runtime_error(messageOf(error));
    }
    readCalendars(interval, cancel, reading);
    // Let signals that piled up for this thread (sources changed, clients gone) run.
    while (g_main_context_iteration(context_, FALSE)) {
    }
    return reading;
  }

 private:
  Availability connectBus() {
    if (!bus_) {
      GError* error = nullptr;
      bus_.reset(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error));
      g_clear_error(&error);
      if (!bus_) return Availability::noSessionBus;
      // A session bus that goes away must not end the whole program (GLib's default).
      g_dbus_connection_set_exit_on_close(bus_.get(), FALSE);
    }
    if (g_dbus_connection_is_closed(bus_.get())) return Availability::noSessionBus;
    try {
      // A bus without the service files would give an empty registry: "no calendars"
      // instead of "no service".
      if (!serviceReachable(bus_.get(), sourcesService) ||
          !serviceReachable(bus_.get(), calendarService)) {
        return Availability::notInstalled;
      }
    } catch (const std::exception&) {
      return Availability::noSessionBus;
    }
    return Availability::available;
  }

  std::set<std::string> identityAddresses() {
    std::set<std::string> addresses;
    SourceList identities(
        e_source_registry_list_enabled(registry_.get(), E_SOURCE_EXTENSION_MAIL_IDENTITY));
    for (GList* item = identities.list; item != nullptr; item = item->next) {
      auto* identity = static_cast<ESourceMailIdentity*>(
          e_source_get_extension(E_SOURCE(item->data), E_SOURCE_EXTENSION_MAIL_IDENTITY));
      if (const gchar* address = e_source_mail_identity_get_address(identity)) {
        addresses.insert(normalAddress(address));
      }
      if (GHashTable* aliases = e_source_mail_identity_get_aliases_as_hash_table(identity)) {
        GHashTableIter iter;
        gpointer key = nullptr;
        g_hash_table_iter_init(&iter, aliases);
        while (g_hash_table_iter_next(&iter, &key, nullptr)) {
          addresses.insert(normalAddress(static_cast<const char*>(key)));
        }
        g_hash_table_unref(aliases);
      }
    }
    addresses.erase("");
    return addresses;
  }

  ECalClient* client(ESource* source) {
    const std::string uid = e_source_get_uid(source);
    if (auto found = clients_.find(uid); found != clients_.end()) return found->second.get();
    GError* error = nullptr;
    // No wait for the backend to go online: a remote calendar opens from its cache at once.
    EClient* made = e_cal_client_connect_sync(source, E_CAL_CLIENT_SOURCE_TYPE_EVENTS, guint32(-1),
                                              nullptr, &error);
    if (made == nullptr) throw std::runtime_error(messageOf(error));
    auto* calendar = E_CAL_CLIENT(made);
    e_cal_client_set_default_timezone(calendar, zone());
    return clients_.emplace(uid, Owned<ECalClient>(calendar)).first->second.get();
  }

  // The calendar's own zones, for names the service could not match (a stray colon); each
  // name is asked for once a read, found or not.
  static CalendarZones calendarZones(ECalClient* calendar) {
    auto asked = std::make_shared<std::map<std::string, icaltimezone*>>();
    return [calendar, asked](const std::string& name) -> icaltimezone* {
      if (const auto found = asked->find(name); found != asked->end()) return found->second;
      ICalTimezone* zone = nullptr;
      icaltimezone* native = nullptr;
      if (e_cal_client_get_timezone_sync(calendar, name.c_str(), &zone, nullptr, nullptr) &&
          zone != nullptr) {
        native = static_cast<icaltimezone*>(i_cal_object_get_native(I_CAL_OBJECT(zone)));
      }
      return (*asked)[name] = native;
    };
  }

  // Our own zone: the service's idea of the system zone ignores TZ.
  ICalTimezone* zone() {
    ICalTimezone* zone = i_cal_timezone_get_builtin_timezone(zoneID_.c_str());
    return zone != nullptr ? zone : i_cal_timezone_get_utc_timezone();
  }

  void readCalendars(DateInterval interval, const CancelToken& cancel, Reading& reading) {
    const std::set<std::string> identities = identityAddresses();
    SourceList calendars(
        e_source_registry_list_enabled(registry_.get(), E_SOURCE_EXTENSION_CALENDAR));
    auto* nativeZone = static_cast<icaltimezone*>(i_cal_object_get_native(I_CAL_OBJECT(zone())));
    for (GList* item = calendars.list; item != nullptr && !cancel.cancelled(); item = item->next) {
      ESource* source = E_SOURCE(item->data);
      auto* backend =
          static_cast<ESourceBackend*>(e_source_get_extension(source, E_SOURCE_EXTENSION_CALENDAR));
      const gchar* backendName = e_source_backend_get_backend_name(backend);
      // Birthdays would start the address-book service; weather is not the user's time.
      if (g_strcmp0(backendName, "contacts") == 0 || g_strcmp0(backendName, "weather") == 0) {
        continue;
      }
      const gchar* name = e_source_get_display_name(source);
      try {
        ECalClient* calendar = client(source);
        std::set<std::string> addresses = identities;
        gchar* own = nullptr;
        if (e_client_get_backend_property_sync(E_CLIENT(calendar),
                                               E_CAL_BACKEND_PROPERTY_CAL_EMAIL_ADDRESS, &own,
                                               nullptr, nullptr) &&
            own != nullptr) {
          addresses.insert(normalAddress(own));
        }
        g_free(own);
        addresses.erase("");
        InstanceContext context{nativeZone, calendarZones(calendar), &addresses, &cancel, {}};
        e_cal_client_generate_instances_sync(
            calendar, time_t(std::floor(interval.start.unixSeconds())),
            time_t(std::ceil(interval.end.unixSeconds())), nullptr, takeInstance, &context);
        for (const BusyInterval& busy : busyStretches(context.occurrences, interval)) {
          reading.busy.push_back(busy);
        }
      } catch (const std::exception& e) {
        reading.failures.push_back(std::string(name != nullptr ? name : "?") + ": " + e.what());
      }
    }
  }

  std::string zoneID_;
  GMainContext* context_ = nullptr;
  std::thread::id thread_;
  Owned<GDBusConnection> bus_;
  Owned<ESourceRegistry> registry_;
  std::map<std::string, Owned<ECalClient>> clients_;
};

}  // namespace

}  // namespace vorlane::eds

extern "C" __attribute__((visibility("default"))) vorlane::EdsCalendars*
vorlane_eds_calendars_create(int version, const char* zoneID) {
  if (version != vorlane::edsCalendarsVersion || zoneID == nullptr) return nullptr;
  return new vorlane::eds::ServiceCalendars(zoneID);
}
