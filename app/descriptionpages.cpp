#include "app/descriptionpages.h"

#include "platform/pages.h"
#include "resources/descriptions.h"

namespace app {

void ReleaseWindowDescriptionPages() {
    for (auto description : {&resources::MainwindowDescription, &resources::LogwindowDescription,
                             &resources::AboutwindowDescription})
        platform::ReleaseReadOnlyPages(description());
}

}  // namespace app
