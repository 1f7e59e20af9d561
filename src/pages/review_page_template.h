// The review page with its style and script, src/pages/review_page.html,
// built into the program by CMake.
#pragma once

#include <string_view>

namespace scanmend::pages {

extern const std::string_view kReviewPageTemplate;

}  // namespace scanmend::pages
