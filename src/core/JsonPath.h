#pragma once

#include <json/json.h>

#include <optional>
#include <string>
#include <vector>

// Walking dotted key paths ("display.backlight.timeout") through a JSON tree and converting the
// values found there, without ever throwing: a file a user edits by hand may hold any type
// anywhere, and the program must treat a wrongly typed value like a missing one.
namespace JsonPath {

// Splits at every "."; empty components are kept ("a..b" gives "a", "", "b").
std::vector<std::string> split(const std::string& dottedPath);

// The value at the path, or null when a member is absent or a parent on the way is not an
// object.
const Json::Value* find(const Json::Value& root, const std::string& dottedPath);

Json::Value* find(Json::Value& root, const std::string& dottedPath);

// Like find, and when the path is blocked by a parent of another type than object (null counts
// as absent), names that parent's path in blockedAt.
const Json::Value* find(const Json::Value& root, const std::string& dottedPath,
                        std::string& blockedAt);

// The object at the components, creating empty objects on the way; a value of another type on
// the way (the root included) is replaced by an empty object.
Json::Value& makeObject(Json::Value& root, const std::vector<std::string>& components);

// Sets the value at the dotted path, creating objects on the way as makeObject does.
void set(Json::Value& root, const std::string& dottedPath, Json::Value value);

// jsoncpp's own conversions (asInt, asFloat, asString, asBool), with an empty result where the
// library would throw (a string read as a number, an object read as text, a number out of range).
std::optional<int> toInt(const Json::Value& value);
std::optional<float> toFloat(const Json::Value& value);
std::optional<std::string> toString(const Json::Value& value);
std::optional<bool> toBool(const Json::Value& value);

} // namespace JsonPath
