// The guide's resource library's own translation unit; its content is the compiled-in guide.
namespace vek7_userguide_anchor {
int unused = 0;
}
