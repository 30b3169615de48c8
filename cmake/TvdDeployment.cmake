# Values of the deployment. The defaults point at the local certificate-service
# simulator, so that a fresh build works out of the box.
set(TVD_SIM_PORT "8642" CACHE STRING "Port of the local certificate-service simulator")
set(TVD_SERVICE_PORT "${TVD_SIM_PORT}" CACHE STRING "Port of the certificate service (80 in production)")
set(TVD_SERVICE_URL "http://127.0.0.1:${TVD_SIM_PORT}/people/ws/r/deviceservices" CACHE STRING "Base URL of the certificate service")
set(TVD_SERVICE_NAMESPACE "http://127.0.0.1:${TVD_SIM_PORT}/webservices" CACHE STRING "Namespace URI of the certificate service")
set(TVD_TOOLS_WEB_URL "http://127.0.0.1:${TVD_SIM_PORT}/tools/" CACHE STRING "Base URL of the tools web server")
set(TVD_MAKER_TOOLS_HOST "www.tolvand.com" CACHE STRING "Host of the maker's tools web site, as earlier installations wrote it")

configure_file(${CMAKE_CURRENT_LIST_DIR}/deployment.h.in ${CMAKE_BINARY_DIR}/generated/deployment.h @ONLY)
add_library(tvd_deployment INTERFACE)
target_include_directories(tvd_deployment INTERFACE ${CMAKE_BINARY_DIR}/generated)
