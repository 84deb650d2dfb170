#include "core/focus/focus_checkpoint.h"

#include "core/focus/focus_input.h"

namespace vorlane {

bool FocusCheckpoint::isValid() const {
  return session.isValid() && FocusInput::fitsNextStep(nextStep);
}

Json FocusCheckpoint::toJson() const {
  Json object = Json::object();
  object["session"] = session.toJson();
  object["nextStep"] = nextStep;
  object["isStarter"] = isStarter;
  if (priorityID) object["priorityID"] = json::fromUUID(*priorityID);
  return object;
}

FocusCheckpoint FocusCheckpoint::fromJson(const JsonReader& reader) {
  FocusCheckpoint checkpoint;
  checkpoint.session = PomodoroSession::Suspension::fromJson(reader["session"]);
  checkpoint.nextStep = reader["nextStep"].asString();
  checkpoint.isStarter = reader["isStarter"].asBool();
  if (auto id = reader.optional("priorityID")) checkpoint.priorityID = id->asUUID();
  return checkpoint;
}

}  // namespace vorlane
