#include "core/JsonPath.h"

#include <utility>

namespace JsonPath {

namespace {

template <typename Result>
std::optional<Result> convert(const Json::Value& value, Result (Json::Value::*as)() const) {
    try {
        return (value.*as)();
    } catch (const Json::Exception&) {
        return std::nullopt;
    }
}

} // namespace

std::vector<std::string> split(const std::string& dottedPath) {
    std::vector<std::string> components;
    size_t start = 0;
    while (true) {
        size_t dot = dottedPath.find('.', start);
        if (dot == std::string::npos) {
            components.push_back(dottedPath.substr(start));
            return components;
        }
        components.push_back(dottedPath.substr(start, dot - start));
        start = dot + 1;
    }
}

const Json::Value* find(const Json::Value& root, const std::string& dottedPath,
                        std::string& blockedAt) {
    // Walks the components in place: the settings are read every frame.
    blockedAt.clear();
    const Json::Value* current = &root;
    size_t start = 0;
    while (true) {
        if (!current->isObject()) {
            if (!current->isNull() && start > 0) {
                blockedAt = dottedPath.substr(0, start - 1);
            }
            return nullptr;
        }
        size_t dot = dottedPath.find('.', start);
        size_t end = dot == std::string::npos ? dottedPath.size() : dot;
        current = current->find(dottedPath.data() + start, dottedPath.data() + end);
        if (!current || dot == std::string::npos) {
            return current;
        }
        start = dot + 1;
    }
}

const Json::Value* find(const Json::Value& root, const std::string& dottedPath) {
    std::string ignored;
    return find(root, dottedPath, ignored);
}

Json::Value* find(Json::Value& root, const std::string& dottedPath) {
    return const_cast<Json::Value*>(find(static_cast<const Json::Value&>(root), dottedPath));
}

Json::Value& makeObject(Json::Value& root, const std::vector<std::string>& components) {
    Json::Value* current = &root;
    if (!current->isObject()) {
        *current = Json::Value(Json::objectValue);
    }
    for (const std::string& component : components) {
        Json::Value& member = (*current)[component];
        if (!member.isObject()) {
            member = Json::Value(Json::objectValue);
        }
        current = &member;
    }
    return *current;
}

void set(Json::Value& root, const std::string& dottedPath, Json::Value value) {
    std::vector<std::string> components = split(dottedPath);
    std::string last = std::move(components.back());
    components.pop_back();
    makeObject(root, components)[last] = std::move(value);
}

std::optional<int> toInt(const Json::Value& value) {
    return convert(value, &Json::Value::asInt);
}

std::optional<float> toFloat(const Json::Value& value) {
    return convert(value, &Json::Value::asFloat);
}

std::optional<std::string> toString(const Json::Value& value) {
    return convert(value, &Json::Value::asString);
}

std::optional<bool> toBool(const Json::Value& value) {
    return convert(value, &Json::Value::asBool);
}

} // namespace JsonPath
