#pragma once
// Everything a user of the scene model needs.

#include "scene/AniObject.h"
#include "scene/Animatable.h"
#include "scene/BaseTimeObject.h"
#include "scene/ClassDir.h"
#include "scene/EndlessTimeSpan.h"
#include "scene/ReferenceTarget.h"
#include "scene/Reflectable.h"
#include "scene/ReflectionAniObject.h"
#include "scene/ReflectionAnimObject.h"
#include "scene/SceneArchive.h"
#include "scene/SceneRoot.h"
#include "scene/controllers/Controller.h"
#include "scene/controllers/ControllerAttributes.h"
#include "scene/controllers/KeyControl.h"
