#include "app/TrayTheme.h"

#include "res/resource.h"

namespace velmo {

namespace {

struct ThemedPictures {
    int first;
    int light;
    int dark;
};

constexpr ThemedPictures kPictures[] = {
    {IDI_NOT_REACHABLE, IDI_NOT_REACHABLE_LIGHT, IDI_NOT_REACHABLE_DARK},
    {IDI_LINE_DOWN, IDI_LINE_DOWN_LIGHT, IDI_LINE_DOWN_DARK},
    {IDI_LINE_UP, IDI_LINE_UP_LIGHT, IDI_LINE_UP_DARK},
    {IDI_ACCESS_WARNING, IDI_ACCESS_WARNING_LIGHT, IDI_ACCESS_WARNING_DARK},
};

}  // namespace

int ThemedTrayPicture(int picture, TaskbarTheme theme) {
    for (const ThemedPictures& pictures : kPictures) {
        if (pictures.first != picture) {
            continue;
        }
        switch (theme) {
            case TaskbarTheme::Light:
                return pictures.light;
            case TaskbarTheme::Dark:
                return pictures.dark;
            case TaskbarTheme::Unknown:
                break;
        }
    }
    return picture;
}

}  // namespace velmo
