#!/usr/bin/env python3
"""Independent reference model of the Vantrose audio path (double precision,
single-precision rounding where the chain does it)."""
import math
import struct


def f32(x):
    return struct.unpack('<f', struct.pack('<f', x))[0]


def hi32(v):
    return struct.unpack('<Q', struct.pack('<d', v))[0] >> 32


def flush(v):
    h = hi32(v)
    if ((h + 0x00100000) & 0x7FE00000) < 0x3CA00000:
        return 0.0
    return v


# ---------------------------------------------------------------- shaper table
_TAB_TXT = """
0 0.004214974 0.008429591 0.012643855 0.016857771 0.021071343 0.025284575 0.029497473 0.03371004 0.037922274
0.042134188 0.046345778 0.05055705 0.054768007 0.05897865 0.063188985 0.06739901 0.07160873 0.07581815 0.08002727
0.084236085 0.088444605 0.09265283 0.09686077 0.10106841 0.10527576 0.10948282 0.113689594 0.11789609 0.12210229
0.12630822 0.13051386 0.13471922 0.1389243 0.14312911 0.14733364 0.15153788 0.15574186 0.15994555 0.16414899
0.16835213 0.17255501 0.17675762 0.18095995 0.18516202 0.1893638 0.19356534 0.1977666 0.20196758 0.20616831
0.21036877 0.21456894 0.21876886 0.22296852 0.2271679 0.23136704 0.23556589 0.23976448 0.24396281 0.24816088
0.25235868 0.2565562 0.26075348 0.2649505 0.26914725 0.27334374 0.27753997 0.28173593 0.28593162 0.29012707
0.29432225 0.29851717 0.3027118 0.30690622 0.31110033 0.3152942 0.31948784 0.32368118 0.32787427 0.3320671
0.33625966 0.340452 0.34464404 0.34883583 0.35302737 0.35721862 0.36140963 0.3656004 0.3697909 0.37398112
0.37817112 0.38236082 0.38655028 0.39073947 0.39492843 0.3991171 0.40330553 0.40749368 0.4116816 0.41586924
0.42005664 0.42424378 0.42843065 0.43261725 0.4368036 0.4409897 0.44517553 0.44936112 0.45354643 0.45773152
0.4619163 0.46610087 0.47028515 0.47446918 0.47865295 0.48283646 0.48701972 0.49120274 0.49538547 0.49956796
0.5037502 0.5079321 0.51211387 0.5162953 0.5204765 0.5246574 0.52883816 0.5330185 0.5371987 0.5413786
0.5455583 0.5497377 0.5539168 0.5580957 0.56227434 0.5664527 0.5706308 0.5748086 0.5789862 0.58316356
0.58734065 0.59151745 0.595694 0.5998703 0.60404634 0.6082221 0.6123977 0.616573 0.620748 0.62492275
0.6290972 0.6332715 0.6374455 0.6416192 0.6457927 0.64996594 0.65413886 0.6583116 0.66248405 0.6666562
0.67082816 0.67499983 0.67917126 0.6833424 0.68751335 0.69168395 0.69585437 0.7000245 0.70419437 0.708364
0.71253335 0.71670246 0.7208713 0.7250399 0.7292083 0.7333763 0.7375442 0.74171174 0.74587905 0.75004613
0.7542129 0.75837946 0.7625457 0.7667118 0.77087754 0.7750431 0.7792083 0.7833733 0.78753805 0.79170257
0.7958668 0.80003077 0.80419445 0.80835795 0.81252116 0.81668407 0.8208468 0.8250092 0.8291714 0.8333333
"""
POS_TAB = [f32(float(t)) for t in _TAB_TXT.split()]
assert len(POS_TAB) == 200
NEG_TAB = [-v for v in POS_TAB]
TABLE_SCALE = 142.14300537109375
TABLE_CLAMP = 0.8333333134651184


def shape(v):
    a = abs(v) * TABLE_SCALE
    if a != a or a >= 2147483648.0:
        k = -2147483648
    else:
        k = int(a)  # truncation toward zero (a >= 0)
    neg = math.copysign(1.0, v) < 0
    tab = NEG_TAB if neg else POS_TAB
    if k < 0:
        r = 0.0
    elif k > 198:
        r = TABLE_CLAMP
    else:
        f = a - k
        r = (1 - f) * tab[k] + f * tab[k + 1]
    return math.copysign(abs(r), v)


# ---------------------------------------------------------------- 3rd-order bell section
# tables: dict of row name -> (k0, k1, k2)
def _den_coef(c, fs, g, d, e):
    P = []
    M = []
    for k in range(3):
        P.append(((c['a3'][k] * fs + c['a2'][k]) * fs + c['a1'][k]) * fs)
        M.append((d * fs) * ((c['b3'][k] * fs + c['b2'][k]) * fs + c['b1'][k])
                 + (((fs * fs) * d) * (c['g3'][k] * fs + c['g2'][k])
                    + ((c['d3'][k] * fs + c['d2'][k]) * fs + c['d1'][k]) * fs) * e)
    return _skel(c['k'], P, M, g)


def _num_coef(c, fs, g, d, e):
    P = []
    M = []
    for k in range(3):
        P.append((c['a2'][k] * fs + c['a1'][k]) * fs)
        M.append((d * fs) * (c['b2'][k] * fs + c['b1'][k])
                 + ((c['g2'][k] * d) * (fs * fs) + (c['d2'][k] * fs + c['d1'][k]) * fs) * e)
    return _skel(c['k'], P, M, g)


def _skel(kap, P, M, g):
    S2 = (P[2] + M[2]) + kap[2]
    S1 = (P[1] + (S2 * g + M[1])) + kap[1]
    return (P[0] + (S1 * g + M[0])) + kap[0]


# fs power of each row
_POW = {'k': 0, 'a1': 1, 'a2': 2, 'a3': 3, 'b1': 1, 'b2': 2, 'b3': 3,
        'g2': 2, 'g3': 3, 'd1': 1, 'd2': 2, 'd3': 3}


def _derive(tab, T, which):
    """which: 1,2,3 -> constants of coefficient index 1..3 from the index-0 table."""
    out = {}
    for name, v in tab.items():
        p = _POW[name]
        if p == 0:
            sel = [T[name], T[name], v][which - 1]
        elif p == 1:
            sel = [v, tuple(-x for x in v), tuple(-x for x in v)][which - 1]
        elif p == 2:
            sel = [tuple(-x for x in v), tuple(-x for x in v), v][which - 1]
        else:
            sel = [tuple(-x for x in T[name]), T[name], tuple(-x for x in v)][which - 1]
        out[name] = sel
    return out


class Bell3:
    def __init__(self, den, num, Td, Tn):
        self.A = [den] + [_derive(den, Td, w) for w in (1, 2, 3)]
        self.B = [num] + [_derive(num, Tn, w) for w in (1, 2, 3)]
        self.x1 = self.x2 = self.x3 = 0.0
        self.y1 = self.y2 = self.y3 = 0.0
        self.a = [0.0] * 4
        self.b = [0.0] * 4

    def calc(self, fs, g, d, e):
        self.a = [_den_coef(c, fs, g, d, e) for c in self.A]
        self.b = [_num_coef(c, fs, g, d, e) for c in self.B]

    def process(self, x):
        a0, a1, a2, a3 = self.a
        b0, b1, b2, b3 = self.b
        y = ((((((b0 * x + b1 * self.x1) + b2 * self.x2) + b3 * self.x3) - a1 * self.y1) - a2 * self.y2) - a3 * self.y3) / a0
        self.x3 = self.x2; self.x2 = self.x1; self.x1 = x
        self.y3 = self.y2; self.y2 = self.y1; self.y1 = y
        return y


def _t(*rows):
    return rows


# ---- L32P
L32P_DEN = {
    'k': (1.55293894825762e-05, 1.5465224267092e-05, -1.5465224267092e-05),
    'a1': (2.15602184664108e-08, 5.79190323801091e-09, -2.20039207779202e-08),
    'a2': (2.44798961362045e-12, 2.42219563929117e-12, -2.43840765683108e-12),
    'a3': (4.80874538966675e-18, 4.78887634172493e-18, -4.78887634172493e-18),
    'b1': (1.86352673790914e-07, 1.85582691205104e-07, -1.85582691205104e-07),
    'b2': (5.04643003356006e-11, 5.02557890667626e-11, -5.02557890667626e-11),
    'b3': (1.00182195618057e-16, 9.97682571192694e-17, -9.97682571192694e-17),
    'g2': (1.04357497322912e-09, 1.03926307074858e-09, -1.03926307074858e-09),
    'g3': (2.08712907537619e-15, 2.07850535665145e-15, -2.07850535665145e-15),
    'd1': (2.62171492834653e-07, -6.55624183139576e-08, -2.72187947100819e-07),
    'd2': (5.06270819964899e-11, 5.00912474810687e-11, -5.04289978464835e-11),
    'd3': (1.00182195618057e-16, 9.97682571192694e-17, -9.97682571192694e-17),
}
L32P_NUM = {
    'k': (-1.55290789009981e-05, -1.54649149687926e-05, 1.54649149687926e-05),
    'a1': (-5.31670118381187e-09, -3.81845687275698e-08, 2.19725511876606e-08),
    'a2': (-2.38760163722813e-12, -2.41062624426011e-12, 2.3944142267202e-12),
    'b1': (-1.86348946811978e-07, -1.85578979625511e-07, 1.85578979625511e-07),
    'b2': (-5.00905969030596e-11, -4.98836297233375e-11, 4.98836297233375e-11),
    'g2': (-1.04355410214708e-09, -1.03924228590286e-09, 1.03924228590286e-09),
    'd1': (7.55843388158971e-08, -6.09932868865527e-07, 2.7218250345075e-07),
    'd2': (-4.97417007755861e-11, -5.02213800887523e-11, 4.98836297233375e-11),
}
L32P_TD = {
    'k': (4.65881684477285e-05, 4.6395672801276e-05, -4.6395672801276e-05),
    'a3': (1.44262361690002e-17, 1.43666290251748e-17, -1.43666290251748e-17),
    'b3': (3.00546586854172e-16, 2.99304771357808e-16, -2.99304771357808e-16),
    'g3': (6.26138722612858e-15, 6.23551606995434e-15, -6.23551606995434e-15),
    'd3': (3.00546586854172e-16, 2.99304771357808e-16, -2.99304771357808e-16),
}
L32P_TN = {'k': (-4.65872367029944e-05, -4.63947449063779e-05, 4.63947449063779e-05)}

# ---- LM32P
LM32P_DEN = {
    'k': (0.000378098197149024, 0.000376535949494571, -0.000376535949494571),
    'a1': (1.00000938360223e-07, 2.9600901352561e-08, -1.01965927592561e-07),
    'a2': (2.50068048235691e-12, 2.4203611809492e-12, -2.4927262071892e-12),
    'a3': (4.59956394492203e-18, 4.5805592047814e-18, -4.5805592047814e-18),
    'b1': (8.31816033727852e-07, 8.28379088888056e-07, -8.28379088888056e-07),
    'b2': (4.9576218974192e-11, 4.93713771304777e-11, -4.93713771304777e-11),
    'b3': (9.58242488525424e-17, 9.54283167662791e-17, -9.54283167662791e-17),
    'g2': (9.98179240473423e-10, 9.94054906665667e-10, -9.94054906665667e-10),
    'g3': (1.9963385177613e-15, 1.98808993263081e-15, -1.98808993263081e-15),
    'd1': (1.23578291476668e-06, -2.273824850518e-07, -1.28022222828154e-06),
    'd2': (5.04338946176345e-11, 4.87674496592493e-11, -5.02750543725826e-11),
    'd3': (9.58242488525424e-17, 9.54283167662791e-17, -9.54283167662791e-17),
}
LM32P_NUM = {
    'k': (-0.000378090635336317, -0.000376528418926192, 0.000376528418926192),
    'a1': (-2.68776906724817e-08, -1.73575865247361e-07, 1.0121083900736e-07),
    'a2': (-2.22500590276535e-12, -2.3626217260637e-12, 2.2902566998237e-12),
    'b1': (-8.31799397739898e-07, -8.28362521637623e-07, 8.28362521637623e-07),
    'b2': (-4.79116453098181e-11, -4.77136812463271e-11, 4.77136812463271e-11),
    'g2': (-9.98159277287877e-10, -9.94035025965148e-10, 9.94035025965148e-10),
    'd1': (2.71847508729863e-07, -2.78780133768239e-06, 1.28019662434905e-06),
    'd2': (-4.63542896409448e-11, -4.92212859596604e-11, 4.77136812463271e-11),
}
LM32P_TD = {
    'k': (0.00113429459144707, 0.00112960784848371, -0.00112960784848371),
    'a3': (1.37986918347661e-17, 1.37416776143442e-17, -1.37416776143442e-17),
    'b3': (2.87472746557627e-16, 2.86284950298837e-16, -2.86284950298837e-16),
    'g3': (5.9890155532839e-15, 5.96426979789244e-15, -5.96426979789244e-15),
    'd3': (2.87472746557627e-16, 2.86284950298837e-16, -2.86284950298837e-16),
}
LM32P_TN = {'k': (-0.00113427190600895, -0.00112958525677858, 0.00112958525677858)}

# ---- HM32P
HM32P_DEN = {
    'k': (0.00140359366328526, 0.00139779421508687, -0.00139779421508687),
    'a1': (1.97394284415524e-07, 5.48649953027275e-08, -2.01394162554391e-07),
    'a2': (2.56717295020846e-12, 2.41485207470323e-12, -2.5613812419549e-12),
    'a3': (4.34629098900596e-18, 4.32833273648229e-18, -4.32833273648229e-18),
    'b1': (1.68431239594231e-06, 1.67735305810424e-06, -1.67735305810424e-06),
    'b2': (4.86429083092398e-11, 4.84419227716602e-11, -4.84419227716602e-11),
    'b3': (9.05477289376241e-17, 9.01735986767145e-17, -9.01735986767145e-17),
    'g2': (9.43214941727696e-10, 9.39317712538375e-10, -9.39317712538375e-10),
    'g3': (1.88641101953384e-15, 1.87861663909822e-15, -1.87861663909822e-15),
    'd1': (2.36958604489654e-06, -5.92573165856761e-07, -2.46011781855289e-06),
    'd2': (5.01141786896992e-11, 4.69547456531658e-11, -5.00074366375754e-11),
    'd3': (9.05477289376241e-17, 9.01735986767145e-17, -9.01735986767145e-17),
}
HM32P_NUM = {
    'k': (-0.00140356559197342, -0.00139776625976167, 0.00139776625976167),
    'a1': (-4.8053969536616e-08, -3.45123797438601e-07, 1.98594630186938e-07),
    'a2': (-2.02175913349438e-12, -2.31067389404554e-12, 2.16414472679388e-12),
    'b1': (-1.68427871036811e-06, -1.67731951171401e-06, 1.67731951171401e-06),
    'b2': (-4.52734117346947e-11, -4.50863484748725e-11, 4.50863484748725e-11),
    'g2': (-9.4319607780614e-10, -9.39298926559844e-10, 9.39298926559844e-10),
    'd1': (6.83154345021941e-07, -5.51275960159019e-06, 2.46006861718054e-06),
    'd2': (-4.21199819477996e-11, -4.81390394592821e-11, 4.50863484748725e-11),
}
HM32P_TD = {
    'k': (0.00421078098985579, 0.0041933826452606, -0.0041933826452606),
    'a3': (1.30388729670179e-17, 1.29849982094469e-17, -1.29849982094469e-17),
    'b3': (2.71643186812872e-16, 2.70520796030143e-16, -2.70520796030143e-16),
    'g3': (5.65923305860151e-15, 5.63584991729465e-15, -5.63584991729465e-15),
    'd3': (2.71643186812872e-16, 2.70520796030143e-16, -2.70520796030143e-16),
}
HM32P_TN = {'k': (-0.00421069677592027, -0.00419329877928502, 0.00419329877928502)}

# ---- H32P
H32P_DEN = {
    'k': (0.00556452630940461, 0.00554153448283532, -0.00554153448283532),
    'a1': (3.73448080876717e-07, 1.09721538308728e-07, -3.8081413883197e-07),
    'a2': (2.67206200462475e-12, 2.39883791819661e-12, -2.66993051871985e-12),
    'a3': (3.87693142081443e-18, 3.8609124948732e-18, -3.8609124948732e-18),
    'b1': (3.11613473326658e-06, 3.10325931038778e-06, -3.10325931038778e-06),
    'b2': (4.66173132882198e-11, 4.64246972194563e-11, -4.64246972194563e-11),
    'b3': (8.07694046003006e-17, 8.0435676976525e-17, -8.0435676976525e-17),
    'g2': (8.41356377981977e-10, 8.37880013804701e-10, -8.37880013804701e-10),
    'g3': (1.68269592917293e-15, 1.67574327034427e-15, -1.67574327034427e-15),
    'd1': (4.4321806739461e-06, -1.04828889014756e-06, -4.59947362075332e-06),
    'd2': (4.94357512845975e-11, 4.37693334055988e-11, -4.94170959164996e-11),
    'd3': (8.07694046003006e-17, 8.0435676976525e-17, -8.0435676976525e-17),
}
H32P_NUM = {
    'k': (-0.00556441502110419, -0.00554142365436224, 0.00554142365436224),
    'a1': (-9.12191138675619e-08, -6.40816386742291e-07, 3.69723786219049e-07),
    'a2': (-1.65840766960345e-12, -2.20152954359041e-12, 1.93043694306717e-12),
    'b1': (-3.11607241181834e-06, -3.10319724644285e-06, 3.10319724644285e-06),
    'b2': (-4.03842984571657e-11, -4.02174363138994e-11, 4.02174363138994e-11),
    'g2': (-8.41339551190953e-10, -8.3786325653957e-10, 8.3786325653957e-10),
    'd1': (1.21567420624414e-06, -1.02471441440215e-05, 4.59938163312066e-06),
    'd2': (-3.45501597834051e-11, -4.58651988248003e-11, 4.02174363138994e-11),
}
H32P_TD = {
    'k': (0.0166935789282138, 0.016624603448506, -0.016624603448506),
    'a3': (1.16307942624433e-17, 1.15827374846196e-17, -1.15827374846196e-17),
    'b3': (2.42308213800902e-16, 2.41307030929575e-16, -2.41307030929575e-16),
    'g3': (5.04808778751879e-15, 5.02722981103281e-15, -5.02722981103281e-15),
    'd3': (2.42308213800902e-16, 2.41307030929575e-16, -2.41307030929575e-16),
}
H32P_TN = {'k': (-0.0166932450633126, -0.0166242709630867, 0.0166242709630867)}


def make_L32P(): return Bell3(L32P_DEN, L32P_NUM, L32P_TD, L32P_TN)
def make_LM32P(): return Bell3(LM32P_DEN, LM32P_NUM, LM32P_TD, LM32P_TN)
def make_HM32P(): return Bell3(HM32P_DEN, HM32P_NUM, HM32P_TD, HM32P_TN)
def make_H32P(): return Bell3(H32P_DEN, H32P_NUM, H32P_TD, H32P_TN)


# ---------------------------------------------------------------- low shelf (2nd order)
SH_A0 = {
    'k': (0.000546795812478483, 0.00158496867021086, -0.00204673994508657),
    'a1': (7.66462239920043e-08, 2.78713516300952e-07, -2.79175287575828e-07),
    'a2': (1.51073299592985e-13, 5.50158195712329e-13, -5.50158195712329e-13),
    'r0': (0.00585452358905606, 0.0213202077613185, -0.0213202077613185),
    'r1': (1.58540487082825e-06, 5.77351183536941e-06, -5.77351183536941e-06),
    'r2': (3.14736040818719e-12, 1.14616290773402e-11, -1.14616290773402e-11),
    'b1': (3.27853320987139e-05, 0.000119393163463383, -0.000119393163463383),
    'b2': (6.55700085038998e-11, 2.38783939111254e-10, -2.38783939111254e-10),
    'e': (0.00553705583757901, 0.0116999728680745, -0.0213202077613185),
    'd1': (1.58508740307677e-06, 5.76389160047617e-06, -5.77351183536941e-06),
    'd2': (3.14736040818719e-12, 1.14616290773402e-11, -1.14616290773402e-11),
}
SH_A1 = {
    'k': (0.00109359162495697, 0.00316993734042173, -0.00409347989017314),
    'a2': (-3.0214659918597e-13, -1.10031639142466e-12, 1.10031639142466e-12),
    'r0': (0.0117090471781121, 0.0426404155226369, -0.0426404155226369),
    'r2': (-6.29472081637438e-12, -2.29232581546804e-11, 2.29232581546804e-11),
    'b2': (-1.311400170078e-10, -4.77567878222507e-10, 4.77567878222507e-10),
    'e': (0.011074111675158, 0.023399945736149, -0.0426404155226369),
    'd2': (-6.29472081637438e-12, -2.29232581546804e-11, 2.29232581546804e-11),
}
SH_B0 = {
    'k': (-8.50132971422929e-05, -0.00250847028598206, 0.00204669901110635),
    'a1': (-7.50588847106015e-08, -2.75538118367569e-07, 2.75076347092693e-07),
    'r0': (-0.00585440650092604, -0.0213197813656911, 0.0213197813656911),
    'r1': (-1.57366446744892e-06, -5.73075723109778e-06, 5.73075723109778e-06),
    'b1': (-3.27846764051858e-05, -0.00011939077564787, 0.00011939077564787),
    'e': (0.00408329614379494, -0.0309400162589351, 0.0213197813656911),
    'd1': (-1.5637267648042e-06, -5.74037746599102e-06, 5.73075723109778e-06),
}
SH_B1 = {
    'k': (-0.000170026594284586, -0.00501694057196412, 0.0040933980222127),
    'r0': (-0.0117088130018521, -0.0426395627313823, 0.0426395627313823),
    'e': (0.00816659228758988, -0.0618800325178701, 0.0426395627313823),
}


def _neg_first_power(tab):
    out = dict(tab)
    for n in ('a1', 'r1', 'b1', 'd1'):
        if n in out:
            out[n] = tuple(-x for x in out[n])
    return out


SH_A2 = _neg_first_power(SH_A0)
SH_B2 = _neg_first_power(SH_B0)


def _sh_a02(c, fs, g, d, e):
    P = []; M = []
    for k in range(3):
        P.append((c['a2'][k] * fs + c['a1'][k]) * fs)
        M.append(((c['r2'][k] * fs + c['r1'][k]) * fs + c['r0'][k]) * d
                 + (((d * fs) * (c['b2'][k] * fs + c['b1'][k]) + (c['d2'][k] * fs + c['d1'][k]) * fs) + c['e'][k]) * e)
    return _skel(c['k'], P, M, g)


def _sh_a1(c, fs, g, d, e):
    P = []; M = []
    for k in range(3):
        P.append((fs * fs) * c['a2'][k])
        M.append(((fs * fs) * c['r2'][k] + c['r0'][k]) * d
                 + (((c['b2'][k] * d) * (fs * fs) + (fs * fs) * c['d2'][k]) + c['e'][k]) * e)
    return _skel(c['k'], P, M, g)


def _sh_b02(c, fs, g, d, e):
    P = []; M = []
    for k in range(3):
        P.append(c['a1'][k] * fs)
        M.append((c['r1'][k] * fs + c['r0'][k]) * d
                 + (((c['b1'][k] * d) * fs + c['d1'][k] * fs) + c['e'][k]) * e)
    return _skel(c['k'], P, M, g)


def _sh_b1(c, fs, g, d, e):
    kap = c['k']
    M = [c['r0'][k] * d + c['e'][k] * e for k in range(3)]
    S2 = M[2] + kap[2]
    S1 = (S2 * g + M[1]) + kap[1]
    return (S1 * g + M[0]) + kap[0]


class L32S:
    def __init__(self):
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0
        self.a0 = self.a1 = self.a2 = self.b0 = self.b1 = self.b2 = 0.0

    def calc(self, fs, g, d, e):
        self.a0 = _sh_a02(SH_A0, fs, g, d, e)
        self.a1 = _sh_a1(SH_A1, fs, g, d, e)
        self.a2 = _sh_a02(SH_A2, fs, g, d, e)
        self.b0 = _sh_b02(SH_B0, fs, g, d, e)
        self.b1 = _sh_b1(SH_B1, fs, g, d, e)
        self.b2 = _sh_b02(SH_B2, fs, g, d, e)

    def process(self, x):
        y = ((((self.b0 * x + self.b1 * self.x1) + self.b2 * self.x2) - self.a1 * self.y1) - self.a2 * self.y2) / self.a0
        self.x2 = self.x1; self.x1 = x
        self.y2 = self.y1; self.y1 = y
        return y


# ---------------------------------------------------------------- high-pass / low-pass
HP_DEN = {'k': 1.52890709065889e-05, 'a1': 1.22317306769902e-09, 'a2': 9.77888736680688e-14,
          'a3': 1.86035554454432e-19, 'b1': -1.52884593559836e-07, 'b2': 1.19254783648923e-11,
          'b3': 2.38507121095426e-17, 'g2': 1.52890709065889e-09, 'g3': 3.05778360378751e-15,
          'd1': 3.05781418131778e-07, 'd2': 1.25370320278968e-11, 'd3': 2.38507121095426e-17}
HP_TD = {'k': 4.58672127197666e-05, 'a3': 5.58106663363297e-19, 'b3': 7.15521363286278e-17,
         'g3': 9.17335081136254e-15, 'd3': 7.15521363286278e-17}
HP_NUM = {'a2': 9.30159168995765e-14, 'a3': 9.30159168995765e-20, 'b2': 1.19251175512278e-11,
          'b3': 1.19251175512278e-17, 'g2': 1.52886122451638e-09, 'g3': 1.52886122451638e-15,
          'd2': 1.19251175512278e-11, 'd3': 1.19251175512278e-17}
HP_TN = {'a3': 2.7904775069873e-19, 'b3': 3.57753526536833e-17, 'g3': 4.58658367354914e-15,
         'd3': 3.57753526536833e-17}


def _derive1(tab, T, which):
    if which == 0:
        return dict(tab)
    out = {}
    for name, v in tab.items():
        p = _POW[name]
        if p == 0:
            sel = [T[name], T[name], v][which - 1]
        elif p == 1:
            sel = [v, -v, -v][which - 1]
        elif p == 2:
            sel = [-v, -v, v][which - 1]
        else:
            sel = [-T[name], T[name], -v][which - 1]
        out[name] = sel
    return out


class HPP32:
    A = [_derive1(HP_DEN, HP_TD, w) for w in range(4)]
    B = [_derive1(HP_NUM, HP_TN, w) for w in range(4)]

    def __init__(self):
        self.x1 = self.x2 = self.x3 = self.y1 = self.y2 = self.y3 = 0.0
        self.a = [0.0] * 4
        self.b = [0.0] * 4

    def calc(self, fs, d, e):
        a = []
        for c in self.A:
            P = ((c['a3'] * fs + c['a2']) * fs + c['a1']) * fs
            M = (d * fs) * ((c['b3'] * fs + c['b2']) * fs + c['b1']) + \
                (((fs * fs) * d) * (c['g3'] * fs + c['g2']) + ((c['d3'] * fs + c['d2']) * fs + c['d1']) * fs) * e
            a.append((P + M) + c['k'])
        b = []
        for c in self.B:
            P = (fs * fs) * (c['a3'] * fs + c['a2'])
            R = ((fs * fs) * d) * (c['b3'] * fs + c['b2'])
            S = ((fs * fs) * d) * (c['g3'] * fs + c['g2'])
            U = (fs * fs) * (c['d3'] * fs + c['d2'])
            b.append(P + (R + (S + U) * e))
        self.a = a
        self.b = b

    def process(self, x):
        a0, a1, a2, a3 = self.a
        b0, b1, b2, b3 = self.b
        y = ((((((b0 * x + b1 * self.x1) + b2 * self.x2) + b3 * self.x3) - a1 * self.y1) - a2 * self.y2) - a3 * self.y3) / a0
        self.x3 = self.x2; self.x2 = self.x1; self.x1 = x
        self.y3 = self.y2; self.y2 = self.y1; self.y1 = y
        return y


LP_A0 = {'k': 0.000293230378280438, 'a1': 5.4893801785915e-09, 'a2': 1.00618368250242e-13,
         'b1': 3.51876453936525e-07, 'b2': 1.2899790801313e-11, 'g2': 1.65381933350167e-09,
         'd1': 3.51890235626487e-07, 'd2': 1.2899790801313e-11}
LP_A1 = {'k': 0.000586460756560875, 'a2': -2.01236736500483e-13, 'b2': -2.5799581602626e-11,
         'g2': -3.30763866700334e-09, 'd2': -2.5799581602626e-11}
LP_A2 = dict(LP_A0)
for _n in ('a1', 'b1', 'd1'):
    LP_A2[_n] = -LP_A0[_n]
LP_B = (0.000293227446005978, 0.000586454892011955, 0.000293227446005978)


class LPP32:
    def __init__(self):
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0
        self.a0 = self.a1 = self.a2 = 0.0
        self.b0 = self.b1 = self.b2 = 0.0

    @staticmethod
    def _a02(c, fs, d, e):
        return (((c['a2'] * fs + c['a1']) * fs)
                + ((d * fs) * (c['b2'] * fs + c['b1'])
                   + ((c['g2'] * d) * (fs * fs) + (c['d2'] * fs + c['d1']) * fs) * e)) + c['k']

    def calc(self, fs, d, e):
        c = LP_A1
        self.a0 = self._a02(LP_A0, fs, d, e)
        self.a1 = (((fs * fs) * c['a2']) + ((c['b2'] * d) * (fs * fs)
                   + ((c['g2'] * d) * (fs * fs) + (fs * fs) * c['d2']) * e)) + c['k']
        self.a2 = self._a02(LP_A2, fs, d, e)
        self.b0, self.b1, self.b2 = LP_B

    def process(self, x):
        y = ((((self.b0 * x + self.b1 * self.x1) + self.b2 * self.x2) - self.a1 * self.y1) - self.a2 * self.y2) / self.a0
        self.x2 = self.x1; self.x1 = x
        self.y2 = self.y1; self.y1 = y
        return y


# ---------------------------------------------------------------- oversampler
K = [0.2511859632599724, 0.2245335588462797, 0.15538007457109065, 0.0706496448477984,
     0.0, -0.03769151644963085, -0.040914779384992654, -0.022456715627743595,
     0.0, 0.013578369569319975, 0.014777623526947411, 0.00795714816545856,
     0.0, -0.004355356208146785, -0.004570244176216314, -0.00248078931015061]


def _acc(terms):
    s = terms[0]
    for t in terms[1:]:
        s = s + t
    return s


class Oversampler4x:
    def __init__(self):
        self.h = [0.0] * 31
        self.x = [0.0] * 8  # x[0] newest ... x[7] oldest

    def up4(self, v):
        h = self.h
        for k in range(27):
            h[k] = h[k + 4]
        self.x = [4 * v] + self.x[:7]
        x = self.x
        h[27] = _acc([x[1] * K[11], x[0] * K[15], x[2] * K[7], x[3] * K[3],
                      x[4] * K[1], x[5] * K[5], x[6] * K[9], x[7] * K[13]])
        h[28] = (x[3] + x[4]) * K[2] + ((x[2] + x[5]) * K[6] + ((x[1] + x[6]) * K[10] + (x[7] + x[0]) * K[14]))
        h[29] = _acc([x[1] * K[9], x[0] * K[13], x[2] * K[5], x[3] * K[1],
                      x[4] * K[3], x[5] * K[7], x[6] * K[11], x[7] * K[15]])
        h[30] = x[3] * K[0]

    def decimate(self):
        h = self.h
        s = (h[29] + h[1]) * K[14]
        for a, b, k in ((30, 0, 15), (28, 2, 13), (26, 4, 11), (25, 5, 10), (24, 6, 9),
                        (22, 8, 7), (21, 9, 6), (20, 10, 5), (18, 12, 3), (17, 13, 2), (16, 14, 1)):
            s = s + (h[a] + h[b]) * K[k]
        s = s + h[15] * K[0]
        return s


# ---------------------------------------------------------------- Bessel design
BESSEL_POLES = [(-1.927619691324482, 0.2416234709451774),
                (-1.8421962445659017, 0.7272575977534836),
                (-1.6618102413500957, 1.221100218591516),
                (-1.3606922783857325, 1.73350574265843),
                (-0.8657569017089488, 2.2926048309837426)]


def bessel_calc(w):
    W = w * 6.283185307179586
    poles = []
    for sg, om in BESSEL_POLES:
        r = math.exp(sg * W)
        th = om * W
        poles.append((math.cos(th) * r, math.sin(th) * r))
        poles.append((math.cos(th) * r, math.sin(-th) * r))
    A = [(1.0, 0.0)] + [(0.0, 0.0)] * 10
    for p in poles:
        q = (-p[0], -p[1])
        for j in range(10, 0, -1):
            are, aim = A[j]
            pre = are * q[0] - aim * q[1]
            pim = are * q[1] + aim * q[0]
            A[j] = (pre + A[j - 1][0], pim + A[j - 1][1])
        are, aim = A[0]
        A[0] = (are * q[0] - aim * q[1], are * q[1] + aim * q[0])
    sre = A[10][0] + 0.0
    for j in range(9, 0, -1):
        sre = sre + A[j][0]
    sre = sre + A[0][0]
    sim = A[10][1] + 0.0
    for j in range(9, 0, -1):
        sim = sim + A[j][1]
    sim = sim + A[0][1]
    n = sim * sim + sre * sre
    gain = 1.0 / math.hypot(sre / n, (-sim) / n)
    a = [-(A[10 - k][0] / A[10][0]) for k in range(1, 11)]
    return [gain] + a


# ---------------------------------------------------------------- biquad
class Biquad:
    def __init__(self):
        self.type = 0
        self.a0, self.a1, self.a2, self.b1, self.b2 = 1.0, 0.0, 0.0, 0.0, 0.0
        self.Fc, self.Q, self.peakGain = 0.5, 0.707, 0.0
        self.z1 = self.z2 = 0.0
        self._last = None

    def set(self, typ, Fc, Q, peakGain):
        self.type, self.Fc, self.Q, self.peakGain = typ, Fc, Q, peakGain
        key = (typ, Fc, Q, peakGain)
        if key == self._last:
            return  # identical settings give identical coefficients
        self._last = key
        self.calc()

    def calc(self):
        V = math.pow(10, abs(self.peakGain) / 20)
        Kt = math.tan(self.Fc * 3.141592653589793)
        Q = self.Q
        if self.type == 4:
            if self.peakGain >= 0:
                norm = 1 / (((1 / Q) * Kt + 1) + Kt * Kt)
                self.a0 = (((V / Q) * Kt + 1) + Kt * Kt) * norm
                t = Kt * Kt - 1
                self.a1 = (t + t) * norm
                self.a2 = ((1 - (V / Q) * Kt) + Kt * Kt) * norm
                self.b1 = self.a1
                self.b2 = ((1 - (1 / Q) * Kt) + Kt * Kt) * norm
            else:
                norm = 1 / (((V / Q) * Kt + 1) + Kt * Kt)
                self.a0 = (((1 / Q) * Kt + 1) + Kt * Kt) * norm
                t = Kt * Kt - 1
                self.a1 = (t + t) * norm
                self.a2 = ((1 - (1 / Q) * Kt) + Kt * Kt) * norm
                self.b1 = self.a1
                self.b2 = ((1 - (V / Q) * Kt) + Kt * Kt) * norm
        else:
            raise NotImplementedError("only the peak type is used")

    def process(self, x):
        x = f32(x)
        out = x * self.a0 + self.z1
        self.z1 = (x * self.a1 + self.z2) - self.b1 * out
        self.z2 = x * self.a2 - self.b2 * out
        return f32(out)


# ---------------------------------------------------------------- the effect
PARAMS = [  # name, default, min, max
    ('LGain', 0.5, 0.0, 1.0), ('LFreq', 0.725, 0.1, 0.983),
    ('LMGain', 0.5, 0.0, 1.0), ('LMFreq', 0.725, 0.1, 0.983),
    ('HMGain', 0.5, 0.0, 1.0), ('HMFreq', 0.725, 0.1, 0.983),
    ('HGain', 0.5, 0.0, 1.0), ('HFreq', 0.725, 0.1, 0.983),
    ('HP', 0.0, 0.0, 1.0), ('LP', 1.0, 0.0, 1.0), ('Gain', 0.0, -12.0, 12.0),
    ('Bell', 0.0, 0.0, 1.0), ('HPLP', 0.0, 0.0, 1.0), ('BY', 1.0, 0.0, 1.0),
    ('', 0.0, 0.0, 1.0),
]


class Smoother:
    def __init__(self):
        self.a0, self.b1, self.z = 1.0, 0.0, 0.0

    def step(self, target):
        self.z = self.z * self.b1 + target * self.a0
        return self.z


class Effect:
    def __init__(self, fs, values=None, sat_enabled=True):
        self.fs = float(fs)
        self.values = [p[1] for p in PARAMS] if values is None else list(values)
        self.sat_enabled = sat_enabled
        # OnParamChange for every parameter
        v = self.values
        (self.mLGain, self.mLFreq, self.mLMGain, self.mLMFreq, self.mHMGain, self.mHMFreq,
         self.mHGain, self.mHFreq, self.mHP, self.mLP) = v[0:10]
        self.mGain = math.pow(10.0, v[10] / 20.0)
        self.mSatFactor = 16 if int(v[14]) != 0 else 4
        names = ['LP', 'HP', 'LGain', 'LFreq', 'LMGain', 'LMFreq', 'HMGain', 'HMFreq', 'HGain', 'HFreq', 'out']
        self.sm = {n: Smoother() for n in names}
        self.mLowOut = [0.0, 0.0]
        self.mPreOut = [0.0, 0.0]
        self.shelf = [L32S(), L32S()]
        self.lbell = [make_L32P(), make_L32P()]
        self.lm = [make_LM32P(), make_LM32P()]
        self.hm = [make_HM32P(), make_HM32P()]
        self.hi = [make_H32P(), make_H32P()]
        self.hp = [HPP32(), HPP32()]
        self.lp = [LPP32(), LPP32()]
        self.satc = [[0.0] * 11, [0.0] * 11]
        self.sat_up = [[0.0] * 10, [0.0] * 10]    # most recent first
        self.sat_dn = [[0.0] * 10, [0.0] * 10]
        self.mSatOut = [0.0, 0.0]
        self.mSatIn = [0.0, 0.0]
        self.ovs = [Oversampler4x(), Oversampler4x()]
        self.shelfBQ = Biquad()
        self.bellBQ = Biquad()

    def geti(self, idx):
        return int(self.values[idx])

    def block_start(self):
        fs = self.fs
        sm = self.sm
        m = math.exp((1000.0 / fs) * -6.283185307179586)
        for n in ('LP', 'HP', 'LGain', 'LFreq', 'LMGain', 'LMFreq', 'HMGain', 'HMFreq', 'HGain', 'HFreq'):
            sm[n].b1 = m
            sm[n].a0 = 1 - m
        mg = math.exp((100.0 / fs) * -6.283185307179586)
        sm['out'].b1 = mg
        sm['out'].a0 = 1 - mg

        def band(objs, rate, gname, fname, gtarget, ftarget):
            for o in objs:
                g = sm[gname].step(gtarget)
                d = sm[fname].step(1 - ftarget)
                e = sm[fname].step(1 - ftarget)
                o.calc(rate, g, d, e)

        band([self.shelf[0], self.shelf[1], self.lbell[0], self.lbell[1]], fs, 'LGain', 'LFreq',
             self.mLGain, self.mLFreq)
        band(self.lm, 8.0 * fs, 'LMGain', 'LMFreq', self.mLMGain, self.mLMFreq)
        band(self.hm, 8.0 * fs, 'HMGain', 'HMFreq', self.mHMGain, self.mHMFreq)
        band(self.hi, 8.0 * fs, 'HGain', 'HFreq', self.mHGain, self.mHFreq)
        for o in self.hp:
            d = sm['HP'].step(1 - self.mHP)
            e = sm['HP'].step(1 - self.mHP)
            o.calc(fs, d, e)
        for o in self.lp:
            d = sm['LP'].step(1 - self.mLP)
            e = sm['LP'].step(1 - self.mLP)
            o.calc(fs, d, e)
        c = bessel_calc(0.2 / self.mSatFactor)
        self.satc = [list(c), list(c)]

    def sat_channel(self, ch):
        N = self.mSatFactor
        c = self.satc[ch]
        up = self.sat_up[ch]
        dn = self.sat_dn[ch]
        out = 0.0
        for j in range(N):
            u = self.mSatIn[ch] if j == 0 else 0.0
            s = c[0] * u
            for i in range(10):
                s = s + c[i + 1] * up[i]
            y = flush(s)
            up.insert(0, y); up.pop()
            sh = shape(N * y)
            s = c[0] * sh
            for i in range(10):
                s = s + c[i + 1] * dn[i]
            z = flush(s)
            dn.insert(0, z); dn.pop()
            if j == 0:
                out = z
        self.mSatOut[ch] = out

    def process_block(self, inL, inR):
        """inL, inR: lists of doubles; returns (outL, outR) lists (None where unwritten)."""
        self.block_start()
        n = len(inL)
        outL = [None] * n
        outR = [None] * n
        fs = self.fs
        SAT_RET = 3.1622776601683795e-05
        for i in range(n):
            x = (inL[i], inR[i])
            self.mSatIn = [x[0] * 17.78279410038923, x[1] * 17.78279410038923]
            if self.sat_enabled:
                self.sat_channel(0)
                self.sat_channel(1)
            else:
                self.mSatOut = [0.0, 0.0]
            hplp = self.geti(12)
            if hplp == 0:
                for ch in (0, 1):
                    self.mPreOut[ch] = self.mSatOut[ch] * SAT_RET + x[ch]
            elif hplp == 1:
                for ch in (0, 1):
                    self.mPreOut[ch] = self.lp[ch].process(self.hp[ch].process(self.mSatOut[ch] * SAT_RET + x[ch]))
            Fc = ((fs * 0.5) / fs) * 0.5
            self.shelfBQ.set(4, Fc, 0.4, 0.0)
            self.bellBQ.set(4, Fc, 0.4, 0.0)
            bell = self.geti(11)
            if bell == 1:
                for ch in (0, 1):
                    v = f32(self.mPreOut[ch])
                    w = f32(self.bellBQ.process(v))
                    self.mLowOut[ch] = self.lbell[ch].process(w)
            elif bell == 0:
                for ch in (0, 1):
                    v = f32(self.mPreOut[ch])
                    w = f32(self.shelfBQ.process(v))
                    self.mLowOut[ch] = self.shelf[ch].process(w)
            for _ in range(2):
                for ch in (0, 1):
                    o = self.ovs[ch]
                    o.up4(self.mLowOut[ch])
                    for p in (27, 28, 29, 30):
                        o.h[p] = self.hm[ch].process(self.lm[ch].process(self.hi[ch].process(o.h[p])))
            by = self.geti(13)
            if by == 0:
                outL[i] = x[0]; outR[i] = x[1]
            elif by == 1:
                gL = self.sm['out'].step(self.mGain)
                outL[i] = gL * self.ovs[0].decimate()
                gR = self.sm['out'].step(self.mGain)
                outR[i] = gR * self.ovs[1].decimate()
        return outL, outR


def param_index(name):
    if name.isdigit():
        return int(name)
    for i, p in enumerate(PARAMS):
        if p[0] == name:
            return i
    raise KeyError(name)


def make_values(sets):
    vals = [p[1] for p in PARAMS]
    for name, val in sets:
        i = param_index(name)
        v = f32(float(val))
        lo, hi = PARAMS[i][2], PARAMS[i][3]
        v = lo if v < lo else min(v, hi)
        vals[i] = v
    return vals


def run(fs, chans, block, sets, sat_enabled=True):
    """chans: list of 1 or 2 lists of float32 values; returns list of output channels."""
    eff = Effect(fs, make_values(sets), sat_enabled)
    n = len(chans[0])
    L = chans[0]
    R = chans[1] if len(chans) > 1 else [0.0] * n
    outL, outR = [], []
    pos = 0
    while pos < n:
        m = min(block, n - pos)
        a, b = eff.process_block(L[pos:pos + m], R[pos:pos + m])
        outL += a; outR += b
        pos += m
    outL = [f32(v) for v in outL]
    outR = [f32(v) for v in outR]
    return [outL] if len(chans) == 1 else [outL, outR]
