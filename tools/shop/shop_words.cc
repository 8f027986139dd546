#include "shop/shop_words.h"

#include <iterator>

namespace brevak::shop {
namespace {

constexpr City kCityItems[] = {
    {"广东省", "深圳市", "粤B", "0755", {"福田区", "南山区", "罗湖区", "宝安区"}},
    {"广东省", "广州市", "粤A", "020", {"天河区", "越秀区", "海珠区", "白云区"}},
    {"广东省", "东莞市", "粤S", "0769", {"南城街道", "东城街道", "莞城街道", "长安镇"}},
    {"广东省", "佛山市", "粤E", "0757", {"禅城区", "南海区", "顺德区", "三水区"}},
    {"", "北京市", "京N", "010", {"朝阳区", "海淀区", "丰台区", "西城区"}},
    {"", "上海市", "沪A", "021", {"浦东新区", "徐汇区", "闵行区", "静安区"}},
    {"浙江省", "杭州市", "浙A", "0571", {"西湖区", "上城区", "拱墅区", "滨江区"}},
    {"江苏省", "南京市", "苏A", "025", {"鼓楼区", "玄武区", "秦淮区", "建邺区"}},
    {"江苏省", "苏州市", "苏E", "0512", {"姑苏区", "吴中区", "相城区", "虎丘区"}},
    {"四川省", "成都市", "川A", "028", {"武侯区", "锦江区", "青羊区", "成华区"}},
    {"湖北省", "武汉市", "鄂A", "027", {"江汉区", "武昌区", "洪山区", "汉阳区"}},
    {"湖南省", "长沙市", "湘A", "0731", {"岳麓区", "芙蓉区", "天心区", "开福区"}},
    {"河南省", "郑州市", "豫A", "0371", {"金水区", "中原区", "二七区", "管城区"}},
    {"陕西省", "西安市", "陕A", "029", {"雁塔区", "碑林区", "新城区", "未央区"}},
    {"", "重庆市", "渝A", "023", {"渝中区", "江北区", "南岸区", "沙坪坝区"}},
    {"", "天津市", "津A", "022", {"和平区", "河西区", "南开区", "河东区"}},
    {"山东省", "济南市", "鲁A", "0531", {"历下区", "市中区", "槐荫区", "天桥区"}},
    {"山东省", "青岛市", "鲁B", "0532", {"市南区", "市北区", "崂山区", "黄岛区"}},
    {"福建省", "福州市", "闽A", "0591", {"鼓楼区", "台江区", "仓山区", "晋安区"}},
    {"福建省", "厦门市", "闽D", "0592", {"思明区", "湖里区", "集美区", "海沧区"}},
};

constexpr Brand kBrandItems[] = {
    {"大众", "上汽大众", {"朗逸", "帕萨特", "途观L", "桑塔纳"}, "LSV"},
    {"大众", "一汽-大众", {"速腾", "宝来", "迈腾", "捷达"}, "LFV"},
    {"丰田", "广汽丰田", {"凯美瑞", "雷凌", "汉兰达", "致炫"}, "LVG"},
    {"丰田", "一汽丰田", {"卡罗拉", "RAV4荣放", "亚洲龙", "威驰"}, "LFM"},
    {"本田", "广汽本田", {"雅阁", "飞度", "缤智", "冠道"}, "LHG"},
    {"本田", "东风本田", {"思域", "CR-V", "XR-V", "艾力绅"}, "LVH"},
    {"日产", "东风日产", {"轩逸", "天籁", "奇骏", "逍客"}, "LGB"},
    {"别克", "上汽通用别克", {"英朗", "君威", "君越", "GL8"}, "LSG"},
    {"雪佛兰", "上汽通用雪佛兰", {"科鲁兹", "迈锐宝", "创酷", "赛欧"}, "LSG"},
    {"福特", "长安福特", {"福克斯", "蒙迪欧", "翼虎", "锐界"}, "LVS"},
    {"现代", "北京现代", {"伊兰特", "索纳塔", "途胜", "名图"}, "LBE"},
    {"起亚", "东风悦达起亚", {"K3", "K5", "智跑", "狮跑"}, "LJD"},
    {"奥迪", "一汽-奥迪", {"A4L", "A6L", "Q5", "Q3"}, "LFV"},
    {"宝马", "华晨宝马", {"3系", "5系", "X1", "X3"}, "LBV"},
    {"奔驰", "北京奔驰", {"C级", "E级", "GLC", "A级"}, "LE4"},
    {"比亚迪", "比亚迪汽车", {"秦", "宋", "唐", "汉"}, "LGX"},
    {"吉利", "吉利汽车", {"帝豪", "博越", "远景", "星越"}, "L6T"},
    {"长安", "长安汽车", {"逸动", "CS75", "CS55", "悦翔"}, "LS5"},
    {"哈弗", "长城汽车", {"H6", "M6", "H2", "大狗"}, "LGW"},
    {"马自达", "长安马自达", {"昂克赛拉", "阿特兹", "CX-5", "CX-4"}, "LVR"},
    {"五菱", "上汽通用五菱", {"宏光", "荣光", "之光", "宏光S"}, "LZW"},
};

constexpr Part kPartItems[] = {
    {"机油", "5W-30 4L", "桶", 268},       {"机油滤清器", "原厂", "个", 45},
    {"空气滤清器", "原厂", "个", 65},      {"空调滤清器", "活性炭", "个", 58},
    {"汽油滤清器", "原厂", "个", 85},      {"火花塞", "铱金", "个", 75},
    {"前刹车片", "陶瓷", "套", 380},       {"后刹车片", "陶瓷", "套", 320},
    {"刹车盘", "前", "个", 450},           {"刹车油", "DOT4 1L", "瓶", 68},
    {"防冻液", "-35℃ 4L", "桶", 120},     {"雨刮片", "无骨", "对", 88},
    {"蓄电池", "60Ah", "个", 560},         {"轮胎", "205/55R16", "条", 520},
    {"正时皮带", "套装", "套", 380},       {"发电机皮带", "6PK", "条", 120},
    {"变速箱油", "ATF", "升", 95},         {"减震器", "前", "个", 680},
    {"下摆臂球头", "左/右", "个", 150},    {"大灯灯泡", "H7", "个", 45},
    {"水泵", "原厂", "个", 420},           {"节温器", "原厂", "个", 180},
    {"玻璃水", "-25℃ 2L", "瓶", 15},      {"前保险杠", "原厂", "个", 1200},
};

constexpr Work kWorkItems[] = {
    {"更换机油机滤", 0.5, 60},   {"更换刹车片", 1.0, 120},   {"四轮定位", 1.0, 150},
    {"轮胎动平衡", 0.5, 80},     {"更换轮胎", 0.5, 40},       {"空调清洗", 1.0, 180},
    {"节气门清洗", 0.5, 120},    {"喷油嘴清洗", 1.0, 200},    {"更换火花塞", 0.8, 100},
    {"更换正时皮带", 3.0, 600},  {"更换变速箱油", 1.0, 200},  {"更换蓄电池", 0.3, 30},
    {"前保险杠钣金喷漆", 4.0, 800}, {"洗车", 0.3, 30},        {"全车打蜡", 1.0, 150},
    {"发动机故障检测", 0.5, 100}, {"更换减震器", 2.0, 300},  {"更换防冻液", 0.5, 80},
    {"更换刹车油", 0.5, 80},     {"更换雨刮片", 0.1, 10},     {"底盘检查", 0.5, 50},
};

constexpr Case kCaseItems[] = {
    {"冷车启动发动机异响", "液压挺柱缺油", "更换机油并清洗油路"},
    {"刹车时前轮吱吱响", "刹车片磨损到极限", "更换前刹车片并打磨刹车盘"},
    {"空调不制冷", "冷媒泄漏，压缩机管路接头老化", "更换O型圈后抽真空加注冷媒"},
    {"高速时方向盘抖动", "前轮动平衡失准", "做轮胎动平衡和四轮定位"},
    {"怠速不稳，发动机抖动", "节气门积碳、火花塞老化", "清洗节气门，更换火花塞"},
    {"发动机故障灯亮", "氧传感器信号异常", "更换前氧传感器并清除故障码"},
    {"变速箱换挡顿挫", "变速箱油变质", "更换变速箱油并做自适应学习"},
    {"车辆行驶跑偏", "四轮定位数据偏差", "调整前束和外倾角"},
    {"早上启动困难", "蓄电池亏电", "更换蓄电池，检查发电机充电电压"},
    {"过减速带底盘异响", "下摆臂球头松旷", "更换下摆臂球头"},
    {"水温偏高", "节温器卡滞", "更换节温器和防冻液"},
    {"油耗明显偏高", "空气滤清器堵塞、喷油嘴积碳", "更换空滤，清洗喷油嘴"},
};

constexpr const char* kSurnameItems[] = {
    "王", "李", "张", "刘", "陈", "杨", "黄", "赵", "吴", "周", "徐", "孙", "马", "朱", "胡", "郭",
    "何", "高", "林", "罗", "郑", "梁", "谢", "宋", "唐", "许", "韩", "冯", "邓", "曹", "彭", "曾",
    "肖", "田", "董", "袁", "潘", "蒋", "蔡", "余", "杜", "叶", "程", "苏", "魏", "吕", "丁", "沈",
    "欧阳", "司马"};
constexpr const char* kMaleNameItems[] = {
    "伟", "强", "磊", "军", "洋", "勇", "杰", "涛", "明", "超", "刚", "平", "建华", "建国", "志强",
    "晓明", "斌", "鹏", "辉", "飞", "宇", "浩", "亮", "俊", "文", "志刚", "国强", "子豪", "海波", "建军"};
constexpr const char* kFemaleNameItems[] = {
    "芳", "娜", "秀英", "敏", "静", "丽", "艳", "娟", "秀兰", "霞", "桂英", "海燕", "丹", "玲", "红",
    "婷", "雪", "欣", "颖", "丽娟", "梓涵", "慧", "晶", "琳", "倩", "雅琴", "淑珍", "晓燕", "佳怡", "诗琪"};
constexpr const char* kMobilePrefixItems[] = {
    "130", "131", "132", "133", "135", "136", "137", "138", "139", "150", "151", "152", "153", "155", "156",
    "157", "158", "159", "166", "173", "176", "177", "180", "181", "182", "183", "185", "186", "187", "188",
    "189", "198", "199"};
constexpr const char* kRoadItems[] = {"人民路", "解放路", "建设路", "中山路", "和平路", "滨河大道",
                                      "新华路", "光明街", "幸福路", "文化路", "科技园路", "工业大道",
                                      "长江路", "黄河路", "东风路", "朝阳路"};
constexpr const char* kColorItems[] = {"白色", "黑色", "银色", "灰色", "红色",
                                       "蓝色", "棕色", "金色", "珍珠白", "香槟色"};
constexpr const char* kCompanyWordItems[] = {"鑫盛", "华通", "宏达", "永安", "金源", "恒达", "顺发",
                                             "联合", "天宇", "东方", "瑞丰", "嘉和", "中联", "腾达"};
constexpr const char* kCompanyTradeItems[] = {"贸易", "物流", "科技", "建筑工程", "餐饮管理",
                                              "电子", "房地产开发", "运输", "商贸", "装饰工程"};
constexpr const char* kTitleItems[] = {"经理", "老板", "业务员", "采购", "财务", "司机", "主管", "总监", ""};
constexpr const char* kGroupItems[] = {"客户", "供应商", "保险公司", "同行", "朋友", "家人", "员工", "其他"};
constexpr const char* kNoteItems[] = {"老客户", "只用原厂配件", "需提前电话预约", "周末来店", "价格敏感",
                                      "公司车辆，月结", "可挂账", "朋友介绍", "车辆有事故记录",
                                      "保养周期5000公里", "客户要求旧件带走"};
constexpr const char* kInsCompanyItems[] = {
    "中国人民财产保险", "中国平安财产保险", "中国太平洋财产保险", "中华联合财产保险",
    "中国大地财产保险", "阳光财产保险",     "太平财产保险",       "天安财产保险",
    "永安财产保险",     "华安财产保险",     "中国人寿财产保险",   "安盛天平财产保险"};
constexpr const char* kInsKindItems[] = {"交强险",       "车辆损失险",     "第三者责任险",
                                         "车上人员责任险", "全车盗抢险",     "玻璃单独破碎险",
                                         "不计免赔险",   "商业险套餐"};
constexpr const char* kCashInItemItems[] = {"维修收入", "配件销售", "洗车美容", "会员卡充值",
                                            "保险返点", "年审代办", "其他收入"};
constexpr const char* kCashOutItemItems[] = {"配件采购", "房租", "水电费", "员工工资",
                                             "工具购置", "广告费", "税费", "其他支出"};
constexpr const char* kPayModeItems[] = {"现金", "刷卡", "微信", "支付宝", "挂账", "会员卡"};
constexpr const char* kSheetStatusItems[] = {"已结算", "已结算", "已结算", "已出厂", "维修中", "待结算"};
constexpr const char* kCallTypeItems[] = {"保养提醒", "年审提醒", "保险到期提醒", "维修回访", "生日祝福", "活动通知"};
constexpr const char* kCallContentItems[] = {
    "提醒客户车辆已到保养里程", "告知本月年审到期，可代办", "商业险下月到期，询问续保意向",
    "询问上次维修后车辆使用情况", "客户咨询更换轮胎价格", "客户预约周六上午保养",
    "通知店庆活动，工时费八折"};
constexpr const char* kCallResultItems[] = {"已接通", "无人接听", "客户已预约", "客户拒绝", "号码错误", "稍后再联系"};
constexpr const char* kLogActionItems[] = {"登录系统", "退出系统", "新增维修单", "修改维修单", "删除维修单",
                                           "维修结算", "新增客户", "修改客户资料", "打印单据", "数据备份"};
constexpr const char* kComputerItems[] = {"前台", "收银台", "经理室", "SERVER", "PC-01", "PC-02"};
constexpr const char* kSmsTitleItems[] = {"保养提醒", "生日祝福", "节日问候", "年审提醒", "保险到期", "活动通知"};
constexpr const char* kSmsTemplateItems[] = {
    "尊敬的[姓名]，您的爱车[车牌]已到保养时间，请及时来店保养。",
    "[姓名]您好，祝您生日快乐！本店送您免费洗车一次。",
    "新春佳节，全体员工祝您阖家幸福，行车平安！",
    "尊敬的[姓名]，您的爱车[车牌]年审将于本月到期，本店可代办。",
    "尊敬的[姓名]，您的车辆[车牌]保险即将到期，续保请致电本店。",
    "本周末店庆，机油保养套餐八八折，欢迎光临！"};
constexpr const char* kSmsStatusItems[] = {"发送成功", "发送成功", "发送成功", "发送失败", "等待发送"};
constexpr const char* kUserRoleItems[] = {"admin", "前台", "收银", "技术总监", "仓管", "财务", "服务顾问"};
constexpr const char* kInterestItems[] = {"保养套餐", "钣金喷漆", "更换轮胎", "汽车美容",
                                          "购买保险", "加装导航", "贴膜"};
constexpr const char* kSourceItems[] = {"朋友介绍", "路过", "网络", "老客户", "电话营销", "大众点评"};
constexpr const char* kSatisfactionItems[] = {"非常满意", "满意", "满意", "一般", "不满意"};
constexpr const char* kHuifangKindItems[] = {"维修回访", "保养提醒", "满意度调查", "投诉处理", "续保提醒", "生日关怀"};
constexpr const char* kHuifangTemplateItems[] = {
    "您好，我是[店名]的客服，请问车辆维修后使用是否正常？",
    "您好，您的爱车即将到保养里程，欢迎预约。",
    "请您对本次服务打分，1到5分。",
    "关于您反映的问题，我们已安排技师处理。",
    "您的车险即将到期，本店可提供续保服务。",
    "祝您生日快乐，本月来店保养享九折。"};
constexpr const char* kScheduleTitleItems[] = {"配件到货", "客户取车", "保险续保跟进", "员工培训",
                                               "库存盘点", "供应商结账", "年审代办"};
constexpr const char* kReturnReasonItems[] = {"质量问题退货", "客户取消", "多开单据", "优惠折让", "型号不符"};
constexpr const char* kCardTypeItems[] = {"普通卡", "普通卡", "银卡", "金卡", "钻石卡"};
constexpr const char* kCarKindItems[] = {"家庭自用车", "非营业客车", "营业客车", "非营业货车", "营业货车"};
constexpr const char* kTrimLevelItems[] = {"1.5L 手动风尚版", "1.5L 自动舒适版", "1.4T 自动豪华版",
                                           "2.0L 自动精英版", "2.0T 四驱旗舰版"};
constexpr const char* kSupplierItems[] = {"配件城", "汽配有限公司", "轮胎经销部", "润滑油经营部", "汽车用品商行"};

}  // namespace

#define BREVAK_LIST(items) {items, std::size(items)}
constinit const Table<City> kCities = BREVAK_LIST(kCityItems);
constinit const Table<Brand> kBrands = BREVAK_LIST(kBrandItems);
constinit const Table<Part> kParts = BREVAK_LIST(kPartItems);
constinit const Table<Work> kWorks = BREVAK_LIST(kWorkItems);
constinit const Table<Case> kCases = BREVAK_LIST(kCaseItems);
constinit const Pool kSurnames = BREVAK_LIST(kSurnameItems);
constinit const Pool kMaleNames = BREVAK_LIST(kMaleNameItems);
constinit const Pool kFemaleNames = BREVAK_LIST(kFemaleNameItems);
constinit const Pool kMobilePrefixes = BREVAK_LIST(kMobilePrefixItems);
constinit const Pool kRoads = BREVAK_LIST(kRoadItems);
constinit const Pool kColors = BREVAK_LIST(kColorItems);
constinit const Pool kCompanyWords = BREVAK_LIST(kCompanyWordItems);
constinit const Pool kCompanyTrades = BREVAK_LIST(kCompanyTradeItems);
constinit const Pool kTitles = BREVAK_LIST(kTitleItems);
constinit const Pool kGroups = BREVAK_LIST(kGroupItems);
constinit const Pool kNotes = BREVAK_LIST(kNoteItems);
constinit const Pool kInsCompanies = BREVAK_LIST(kInsCompanyItems);
constinit const Pool kInsKinds = BREVAK_LIST(kInsKindItems);
constinit const Pool kCashInItems = BREVAK_LIST(kCashInItemItems);
constinit const Pool kCashOutItems = BREVAK_LIST(kCashOutItemItems);
constinit const Pool kPayModes = BREVAK_LIST(kPayModeItems);
constinit const Pool kSheetStatus = BREVAK_LIST(kSheetStatusItems);
constinit const Pool kCallTypes = BREVAK_LIST(kCallTypeItems);
constinit const Pool kCallContents = BREVAK_LIST(kCallContentItems);
constinit const Pool kCallResults = BREVAK_LIST(kCallResultItems);
constinit const Pool kLogActions = BREVAK_LIST(kLogActionItems);
constinit const Pool kComputers = BREVAK_LIST(kComputerItems);
constinit const Pool kSmsTitles = BREVAK_LIST(kSmsTitleItems);
constinit const Pool kSmsTemplates = BREVAK_LIST(kSmsTemplateItems);
constinit const Pool kSmsStatus = BREVAK_LIST(kSmsStatusItems);
constinit const Pool kUserRoles = BREVAK_LIST(kUserRoleItems);
constinit const Pool kInterests = BREVAK_LIST(kInterestItems);
constinit const Pool kSources = BREVAK_LIST(kSourceItems);
constinit const Pool kSatisfaction = BREVAK_LIST(kSatisfactionItems);
constinit const Pool kHuifangKinds = BREVAK_LIST(kHuifangKindItems);
constinit const Pool kHuifangTemplates = BREVAK_LIST(kHuifangTemplateItems);
constinit const Pool kScheduleTitles = BREVAK_LIST(kScheduleTitleItems);
constinit const Pool kReturnReasons = BREVAK_LIST(kReturnReasonItems);
constinit const Pool kCardTypes = BREVAK_LIST(kCardTypeItems);
constinit const Pool kCarKinds = BREVAK_LIST(kCarKindItems);
constinit const Pool kTrimLevels = BREVAK_LIST(kTrimLevelItems);
constinit const Pool kSuppliers = BREVAK_LIST(kSupplierItems);
#undef BREVAK_LIST

}  // namespace brevak::shop
