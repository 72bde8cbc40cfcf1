#include "app/Services.h"

#include <utility>

Services::Services(const Stores& stores, Clock clock)
    : stores(stores), clock(std::move(clock)), input(stores.gamepad), battery(this->clock) {
}

PageServices Services::forPages() {
    return {stores.config, stores.languages, stores.themes, input, battery, stores.scanner};
}
