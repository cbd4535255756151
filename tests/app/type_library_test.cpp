#include "app/glib_handles.h"
#include "app/identities.h"
#include "app/type_library.h"

#include <gtest/gtest.h>

namespace calvex::app {
namespace {

const char* Annotation(GDBusAnnotationInfo** annotations, const char* name)
{
    const char* value = g_dbus_annotation_info_lookup(annotations, name);
    return value ? value : "";
}

TEST(TypeLibrary, RecordsTheLibraryItsClassAndInterface)
{
    NodeInfoPtr node = ParseNodeInfo(TypeLibraryXml());
    EXPECT_STREQ(Annotation(node->annotations, "Calvex.TypeLibrary.LIBID"), kLibidCalvex);
    EXPECT_STREQ(Annotation(node->annotations, "Calvex.TypeLibrary.Version"), "1.0");
    EXPECT_STREQ(Annotation(node->annotations, "Calvex.TypeLibrary.Locale"), "0");
    EXPECT_STREQ(Annotation(node->annotations, "Calvex.CoClass.CLSID"), kClsidCalvex);
    EXPECT_STREQ(Annotation(node->annotations, "Calvex.CoClass.ProgID"), "Calvex.Application");
    EXPECT_STREQ(Annotation(node->annotations, "Calvex.CoClass.DefaultInterface"),
                 "Calvex.ICalvex");
}

TEST(TypeLibrary, ICalvexIsTheOnlyInterfaceAndHasNoMembers)
{
    NodeInfoPtr node = ParseNodeInfo(TypeLibraryXml());
    ASSERT_NE(node->interfaces, nullptr);
    ASSERT_NE(node->interfaces[0], nullptr);
    EXPECT_EQ(node->interfaces[1], nullptr);
    GDBusInterfaceInfo* iCalvex = node->interfaces[0];
    EXPECT_STREQ(iCalvex->name, "Calvex.ICalvex");
    EXPECT_STREQ(Annotation(iCalvex->annotations, "Calvex.IID"), kIidICalvex);
    EXPECT_TRUE(iCalvex->methods == nullptr || iCalvex->methods[0] == nullptr);
    EXPECT_TRUE(iCalvex->properties == nullptr || iCalvex->properties[0] == nullptr);
    EXPECT_TRUE(iCalvex->signals == nullptr || iCalvex->signals[0] == nullptr);
}

} // namespace
} // namespace calvex::app
