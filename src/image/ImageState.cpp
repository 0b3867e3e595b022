#include "image/ImageState.h"

#include "workspace/Workspace.h"

namespace image {

void startStandardBuild(ImageState& st)
{
    Init_Par_Gen(st.Par_Gen, workspace::ws().Converter_Type);
    Clear_BACnet_Objects(st.objects);
}

void startKnxDmxDnetBuild(ImageState& st)
{
    st.Par_Gen.Object_Count.fill(0);
    Init_Par_Gen_KNX_DMX_DNet(st.field.kdd);
    Clear_BACnet_Objects(st.objects);
}

void loadProjectObjects(ImageState& st, ObjectSections sections)
{
    const workspace::Workspace& w = workspace::ws();
    Load_BACnet_Objects(st.objects, st.Par_Gen.Object_Count, st.Desc_Chars_Limit_Flag, w.Converter_Type,
                        w.Path_BACnet_SetAccess, sections);
}

void loadProjectBdt(ImageState& st, uint32_t bdtAddress)
{
    if (st.Par_Gen.BACnet_IP_Flags & 1u)
        Load_BDT(st.bdt, workspace::ws().Path_BACnet_BDT);
    st.Par_Gen.BDT_Address = bdtAddress;
}

} // namespace image
