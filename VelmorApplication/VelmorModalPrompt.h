#pragma once

#include "VelmorModalWindowController.h"

// Gives each prompt class its own sharedInstance(). A prompt keeps its instance by declaring
//     static Prompt* singleInstance();
//     static void setSingleInstance(Prompt* instance);
// which hide the base's pair (the base keeps none).
//
//     class DateTimeAsker : public VelmorModalPrompt<DateTimeAsker> { Q_OBJECT ... };
template <typename Prompt>
class VelmorModalPrompt : public VelmorModalWindowController
{
public:
    using VelmorModalWindowController::VelmorModalWindowController;

    static Prompt* sharedInstance()
    {
        Prompt* instance = static_cast<Prompt*>(Prompt::singleInstance());
        if (!instance) {
            instance = new Prompt;
            Prompt::setSingleInstance(instance);
        }
        return instance;
    }
};
