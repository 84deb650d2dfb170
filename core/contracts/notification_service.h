#pragma once

#include <string>

namespace vorlane {

// Posts silent user notifications.
class NotificationService {
 public:
  NotificationService() = default;
  NotificationService(const NotificationService&) = delete;
  NotificationService& operator=(const NotificationService&) = delete;
  virtual ~NotificationService() = default;

  // Asks the notification server what it supports, once at start; Linux asks no permission.
  virtual void queryCapabilities() = 0;
  virtual void postSilent(const std::string& title, const std::string& body) = 0;
};

}  // namespace vorlane
