#pragma once

#include <memory>

namespace conv
{
class Feedback;
}

namespace conv::app
{

class TMForm;

/// The window as the run's feedback: its boxes, its wait cursor and its screens.
std::unique_ptr<Feedback> makeWindowFeedback(TMForm& window);

} // namespace conv::app
